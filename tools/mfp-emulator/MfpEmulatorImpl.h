#pragma once

// The emulator's state, shared by its server, its command handling and its list I/O.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "DeviceDialList.h"
#include "EmulatorWire.h"
#include "MfpEmulator.h"

namespace dialvane {

struct MfpEmulator::Impl {
    struct Reply {
        std::vector<std::string> writes;
        bool close = false;
    };

    struct Hits {
        int busy = 0, silence = 0, disconnect = 0, wrongConnection = 0, malformed = 0;
        int occupyStarts = 0;
    };

    explicit Impl(const MfpEmulatorOptions& options) : options(options) {}

    void Serve();
    void ServeClient(int fd, bool socket);
    bool OpenPty(std::string* error);
    void ClosePty();
    Reply Handle(const emu::ScanResult& scan, std::string raw);
    std::string HandleTool(const emu::IncomingCommand& in, const std::string& connection,
                           std::string& problem);
    bool WaitAnswerDelay();
    emu::DeviceConfig Config() const {
        return {options.extendedFormat, options.longSenderSupported};
    }

    const MfpEmulatorOptions options;
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool stopping = false;
    bool running = false;
    int listenFd = -1;
    int ptySlave = -1;  // held open so that the terminal lives while the program has it closed
    int wake[2] = {-1, -1};
    std::uint16_t port = 0;
    std::thread thread;

    EmulatorFaults faults;
    Hits hits;
    emu::DeviceDialList list;
    std::vector<ReceivedCommand> transcript;
    std::vector<std::string> problems;
    EmulatorCounters counters;
    int commandNumber = 0;

    // The state of the current connection.
    int connection = 0;
    bool occupied = false;
    emu::MessageAssembler assembler;
    std::deque<Bytes> pendingAnswer;
};

}  // namespace dialvane
