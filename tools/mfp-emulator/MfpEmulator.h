#pragma once

// An in-process stand-in for the fax side of the MFP, reached over TCP like the real device.
// It answers the name query and the tool commands, keeps a dial list, and can be told to
// misbehave in the ways real devices do (busy, silent, disconnecting, garbled answers). It
// records everything it received so tests can check what the program sent.

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/TextRules.h"

namespace dialvane {

// Tool command codes of the envelope.
enum class ToolCommand : int {
    Nop = 0,
    OccupyStart = 1,
    OccupyEnd = 2,
    FrameWrite = 3,
    FrameRead = 4
};

// Selects which received commands a fault hits. Commands are counted per match (not per
// connection) from the moment the faults were set.
struct CommandMatch {
    static constexpr int kAny = -1;
    static constexpr int kChannelQuery = -2;  // `command` value of "@QNL INQUIRE NAME"

    int command = kAny;  // a ToolCommand value, kChannelQuery or kAny
    int mid = kAny;      // FRAME_WRITE: MID of the written frame; FRAME_READ: MID being read
    int first = 0;       // 1-based number of the first matching command hit; 0 = never
    int count = 1;       // how many matching commands in a row are hit

    static CommandMatch Nth(int n, int command = kAny, int mid = kAny) {
        return CommandMatch{command, mid, n, 1};
    }
    static CommandMatch Nth(int n, ToolCommand command, int mid = kAny) {
        return Nth(n, static_cast<int>(command), mid);
    }
    static CommandMatch Every(int command = kAny, int mid = kAny) {
        return CommandMatch{command, mid, 1, 1 << 30};
    }
    static CommandMatch Every(ToolCommand command, int mid = kAny) {
        return Every(static_cast<int>(command), mid);
    }
    bool Enabled() const { return first > 0 && count > 0; }
};

enum class MalformKind {
    BadBase64,        // a data answer whose Base64 text holds a character outside the alphabet
    MissingFormFeed,  // the closing 0x0C is left off
    WrongLength,      // the declared length does not match the bytes that follow
};

struct EmulatorFaults {
    // The first k occupy starts are answered with busy (NACK 0xFC).
    int busyOccupyStarts = 0;
    // Commands hit get `busyNacks` busy NACKs before their real answer (the program waits again
    // after a busy NACK instead of sending the command again).
    CommandMatch busy;
    int busyNacks = 1;
    // Send those busy NACKs and the real answer in one write rather than one write each.
    bool busyAndAnswerInOneWrite = false;
    // Result code of the answer to CMD_NOP (0 = ACK, 0xFD = no fax, ...).
    std::uint16_t nopResult = 0;
    // Commands hit are swallowed: no answer, no effect.
    CommandMatch silence;
    // The connection is closed when a command hit arrives, without answer or effect.
    CommandMatch disconnect;
    // Answers to commands hit carry another connection number than the one received.
    CommandMatch wrongConnectionNumber;
    // Answers to commands hit are garbled as `malformKind` says (BadBase64 only changes data
    // answers).
    CommandMatch malformed;
    MalformKind malformKind = MalformKind::MissingFormFeed;
    // MID -> stop cause: the answer message of that MID carries PID 0x0F with this value.
    std::map<std::uint8_t, std::uint8_t> stopCause;
    // Waited before every answer write.
    int answerDelayMs = 0;
};

struct MfpEmulatorOptions {
    std::string address = "127.0.0.1";
    std::uint16_t port = 9100;  // 0 picks a free port (see Port())
    std::string model = "DX-R7700";
    // Keyword field and 25-byte group bitmap, as quick-dial models keep their records.
    bool extendedFormat = true;
    // Whether 42-byte sender names are accepted (the answer to 0x1F says so).
    bool longSenderSupported = true;
    // Program settings file whose profile of `model` limits what LoadUserFile accepts. Empty:
    // the limits follow the format (extended 200 speed dials, 12 quick dials and keywords;
    // normal 60 speed dials, 3 one-touch buttons, no keywords).
    std::string settingsPath;
    // How LoadUserFile and DumpUserFile read, check and write list files (code page 932 and the
    // Japanese name rule, or Windows-1252 and the Unicode ranges).
    TextRules listRules;
    // Serve over a stand-in for the USB printer node instead of TCP: a pseudo-terminal in raw
    // mode whose slave side this link points to. The link goes away when the emulator stops or
    // the cable is "pulled" (a disconnect fault closes the terminal).
    std::string usbPtyLink;
    // The IEEE 1284 device ID the stand-in printer reports; empty: one naming `model`.
    std::string deviceId;
};

// One command as the emulator received it.
struct ReceivedCommand {
    int number = 0;       // 1-based over the emulator's life
    int connection = 0;   // 1-based number of the client connection it came on
    int command = -1;     // ToolCommand value, CommandMatch::kChannelQuery, or -1 when unreadable
    int mid = -1;         // FRAME_WRITE: MID of the frame; FRAME_READ: MID of the answer read
    int jtype = -1;       // FRAME_WRITE: JTYPE of the frame
    std::string raw;      // the bytes as received
    std::string problem;  // why the command was refused or looked wrong; empty when well formed
};

struct EmulatorCounters {
    int connections = 0;
    int disconnects = 0;  // connections that ended, for whatever reason
    int channelQueries = 0;
    int nops = 0;
    int occupyStarts = 0;
    int occupyEnds = 0;
    int frameWrites = 0;
    int frameReads = 0;
    int problems = 0;
    std::map<std::uint8_t, int> requests;       // complete messages received, by MID
    std::map<std::uint8_t, int> cancellations;  // 0x7E, 0x7B, 0x78, 0x62 carried out
    std::map<std::uint8_t, int> registrations;  // 0x7D, 0x7A, 0x77, 0x61 stored
};

class MfpEmulator {
  public:
    explicit MfpEmulator(MfpEmulatorOptions options = {});
    ~MfpEmulator();
    MfpEmulator(const MfpEmulator&) = delete;
    MfpEmulator& operator=(const MfpEmulator&) = delete;

    // Binds, listens and starts serving; false with the cause in *error when the address cannot
    // be bound.
    bool Start(std::string* error = nullptr);
    // Ends the serving thread promptly (also in the middle of an answer delay) and joins it.
    void Stop();
    bool Running() const;
    std::uint16_t Port() const;
    const MfpEmulatorOptions& Options() const { return options_; }
    // The IEEE 1284 device ID of the USB stand-in.
    std::string DeviceId() const;

    // Replaces the faults and restarts their match counts.
    void SetFaults(const EmulatorFaults& faults);
    EmulatorFaults Faults() const;

    // The dial list. Loading goes through the editor loader and the strict record gate, dumping
    // through the download writer, so a dump reads exactly like a file the program downloaded.
    bool LoadUserFile(const std::string& path, std::string* error = nullptr);
    bool DumpUserFile(const std::string& path, std::string* error = nullptr) const;
    void ClearDialList();
    // Kind letters S, G, W, N; the sender is number 1.
    int StoredCount(char kind) const;
    // The stored value of a record's data parameter (PID 0x6F, 0x6E, 0x6D or 0x66).
    std::optional<std::string> StoredValue(char kind, int number) const;
    void StoreValue(char kind, int number, const std::string& value);

    // What arrived so far.
    std::vector<ReceivedCommand> Transcript() const;
    std::vector<std::string> Problems() const;
    EmulatorCounters Counters() const;
    bool Occupied() const;
    void ClearTranscript();

    // Blocks until at least `count` client connections have ended, or the timeout passed.
    bool WaitForDisconnects(int count, std::chrono::milliseconds timeout);
    // Blocks until at least `count` commands were received, or the timeout passed.
    bool WaitForCommands(int count, std::chrono::milliseconds timeout);

  private:
    struct Impl;
    MfpEmulatorOptions options_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace dialvane
