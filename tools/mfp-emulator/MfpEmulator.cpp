#include "MfpEmulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "DeviceDialList.h"
#include "EmulatorWire.h"
#include "data/DialFileLoader.h"
#include "data/DownloadWriter.h"
#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "protocol/DeviceRecords.h"
#include "support/Format.h"

namespace dialvane {

namespace {

// After this long without new bytes a partial envelope is judged as it stands.
constexpr int kIdleMs = 150;

const char* CommandName(int command) {
    switch (command) {
        case emu::kCommandChannelQuery:
            return "INQUIRE NAME";
        case 0:
            return "CMD_NOP";
        case 1:
            return "CMD_OCCUPY_START";
        case 2:
            return "CMD_OCCUPY_END";
        case 3:
            return "CMD_FRAME_WRITE";
        case 4:
            return "CMD_FRAME_READ";
        default:
            return "unreadable bytes";
    }
}

bool Matches(const CommandMatch& match, int& seen, int command, int mid) {
    if (!match.Enabled() || (match.command != CommandMatch::kAny && match.command != command) ||
        (match.mid != CommandMatch::kAny && match.mid != mid)) {
        return false;
    }
    ++seen;
    return seen >= match.first && seen - match.first < match.count;
}

std::string Garble(std::string block, MalformKind kind) {
    constexpr std::string_view kToolHeader = "@QNL SDC FAXTOOL=";
    if (!block.starts_with(kToolHeader)) {
        // The name answer has no length and no FF: only its line end can go missing.
        if (kind == MalformKind::MissingFormFeed && block.ends_with("\r\n")) {
            block.resize(block.size() - 2);
        }
        return block;
    }
    const std::size_t lineEnd = block.find("\r\n");
    const int n = std::atoi(block.substr(kToolHeader.size(), lineEnd).c_str());
    switch (kind) {
        case MalformKind::MissingFormFeed:
            block.pop_back();
            break;
        case MalformKind::WrongLength:
            if (n == 8) {
                block.insert(block.size() - 1, "0");
            } else {
                block = std::string(kToolHeader) + std::to_string(n - 4) + block.substr(lineEnd);
            }
            break;
        case MalformKind::BadBase64:
            if (n != 8) {
                block[lineEnd + 2 + 8] = '!';
            }
            break;
    }
    return block;
}

Bytes ToBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Restores the mode-dependent message wording, which loading a product profile changes for the
// whole process (the program under test may share it).
class ModeMessageGuard {
  public:
    ModeMessageGuard() : oneTouch_(OneTouchMessages()) {}
    ~ModeMessageGuard() { SelectModeMessages(oneTouch_); }
    ModeMessageGuard(const ModeMessageGuard&) = delete;
    ModeMessageGuard& operator=(const ModeMessageGuard&) = delete;

  private:
    bool oneTouch_;
};

// The capabilities the dial list file is checked against: the settings file named in the options,
// or a profile that matches the emulated format, written to a temporary file for the reader.
class ProductProfile {
  public:
    explicit ProductProfile(const MfpEmulatorOptions& options) {
        std::string path = options.settingsPath;
        if (path.empty()) {
            char name[] = "/tmp/mfp-emulator-XXXXXX.ini";
            const int fd = mkstemps(name, 4);
            if (fd >= 0) {
                const std::string text =
                    options.extendedFormat
                        ? Format(
                              "[%s]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\n"
                              "SpeedDialKeyword=1\n",
                              options.model)
                        : Format(
                              "[%s]\nFaxType=1\n[FaxType1]\nSpeedDial=60\nQuickDial=3\n"
                              "SpeedDialKeyword=0\n",
                              options.model);
                const bool written =
                    write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
                close(fd);
                temporary_ = name;
                if (written) {
                    path = name;
                }
            }
        }
        product_ = std::make_unique<TProductInfo>(path);
        product_->Load(options.model);
    }
    ~ProductProfile() {
        if (!temporary_.empty()) {
            unlink(temporary_.c_str());
        }
    }
    ProductProfile(const ProductProfile&) = delete;
    ProductProfile& operator=(const ProductProfile&) = delete;

    const TProductInfo& Product() const { return *product_; }

  private:
    ModeMessageGuard guard_;
    std::string temporary_;
    std::unique_ptr<TProductInfo> product_;
};

}  // namespace

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

void MfpEmulator::Impl::Serve() {
    if (!options.usbPtyLink.empty()) {
        // One cable, one connection: it ends when the cable is pulled or the emulator stops.
        ServeClient(listenFd, false);
        ClosePty();
        return;
    }
    for (;;) {
        pollfd fds[2] = {{listenFd, POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                ServeClient(fd, true);
            }
        }
    }
}

bool MfpEmulator::Impl::OpenPty(std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) {
            *error = what + ": " + std::strerror(errno);
        }
        ClosePty();
        return false;
    };
    listenFd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (listenFd < 0 || grantpt(listenFd) != 0 || unlockpt(listenFd) != 0) {
        return fail("pseudo-terminal");
    }
    const char* slaveName = ptsname(listenFd);
    if (slaveName == nullptr) {
        return fail("pseudo-terminal name");
    }
    ptySlave = open(slaveName, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (ptySlave < 0 || tcgetattr(ptySlave, &raw) != 0) {
        return fail(slaveName);
    }
    // Bytes pass unchanged both ways: no echo, no line editing, no CR/LF translation.
    cfmakeraw(&raw);
    if (tcsetattr(ptySlave, TCSANOW, &raw) != 0) {
        return fail("raw mode");
    }
    struct stat existing {};
    if (lstat(options.usbPtyLink.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
        unlink(options.usbPtyLink.c_str());
    }
    if (symlink(slaveName, options.usbPtyLink.c_str()) != 0) {
        return fail("link " + options.usbPtyLink);
    }
    return true;
}

void MfpEmulator::Impl::ClosePty() {
    if (listenFd >= 0) {
        ::close(listenFd);
        listenFd = -1;
    }
    if (ptySlave >= 0) {
        ::close(ptySlave);
        ptySlave = -1;
        unlink(options.usbPtyLink.c_str());
    }
}

void MfpEmulator::Impl::ServeClient(int fd, bool socket) {
    if (socket) {
        // Every answer is one write that the program waits for: Nagle would hold it back.
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    {
        std::lock_guard lock(mutex);
        connection = ++counters.connections;
        occupied = false;
        assembler.Reset();
        pendingAnswer.clear();
    }
    changed.notify_all();

    std::string buffer;
    char chunk[4096];
    bool close = false;
    while (!close) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wake[0], POLLIN, 0}};
        const int ready = poll(fds, 2, buffer.empty() ? -1 : kIdleMs);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (fds[1].revents != 0) {
            break;
        }
        const bool idle = ready == 0;
        if (!idle) {
            const ssize_t n =
                socket ? recv(fd, chunk, sizeof chunk, 0) : read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            buffer.append(chunk, static_cast<std::size_t>(n));
        }
        while (!buffer.empty() && !close) {
            const emu::ScanResult scan = emu::ScanIncoming(buffer, idle);
            if (scan.state == emu::ScanState::Incomplete) {
                break;
            }
            std::string raw = buffer.substr(0, scan.consumed);
            buffer.erase(0, scan.consumed);
            Reply reply;
            {
                std::lock_guard lock(mutex);
                reply = Handle(scan, std::move(raw));
            }
            changed.notify_all();
            close = reply.close;
            for (const std::string& block : reply.writes) {
                if (close || !WaitAnswerDelay()) {
                    close = true;
                    break;
                }
                std::size_t sent = 0;
                while (sent < block.size()) {
                    const ssize_t n =
                        socket ? send(fd, block.data() + sent, block.size() - sent, MSG_NOSIGNAL)
                               : write(fd, block.data() + sent, block.size() - sent);
                    if (n < 0 && errno == EINTR) {
                        continue;
                    }
                    if (n <= 0) {
                        close = true;
                        break;
                    }
                    sent += static_cast<std::size_t>(n);
                }
            }
        }
    }
    if (socket) {
        shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }
    {
        std::lock_guard lock(mutex);
        ++counters.disconnects;
        occupied = false;
        assembler.Reset();
        pendingAnswer.clear();
    }
    changed.notify_all();
}

bool MfpEmulator::Impl::WaitAnswerDelay() {
    std::unique_lock lock(mutex);
    if (faults.answerDelayMs > 0) {
        changed.wait_for(lock, std::chrono::milliseconds(faults.answerDelayMs),
                         [this] { return stopping; });
    }
    return !stopping;
}

MfpEmulator::Impl::Reply MfpEmulator::Impl::Handle(const emu::ScanResult& scan, std::string raw) {
    Reply reply;
    ReceivedCommand received;
    received.number = ++commandNumber;
    received.connection = connection;
    received.raw = std::move(raw);
    std::string problem = scan.command.problem;

    auto record = [&] {
        received.problem = problem;
        if (!problem.empty()) {
            ++counters.problems;
            problems.push_back(
                Format("command %d (%s", received.number, CommandName(received.command)) +
                (received.mid >= 0 ? Format(" %02X", received.mid) : "") + "): " + problem);
        }
        transcript.push_back(std::move(received));
    };

    if (scan.state == emu::ScanState::Garbage) {
        record();
        return reply;
    }
    const emu::IncomingCommand& in = scan.command;
    received.command = in.command;
    if (in.command == static_cast<int>(ToolCommand::FrameWrite) && in.frame.size() >= 2) {
        received.jtype = static_cast<unsigned char>(in.frame[0]);
        received.mid = static_cast<unsigned char>(in.frame[1]);
    } else if (in.command == static_cast<int>(ToolCommand::FrameRead) && !pendingAnswer.empty() &&
               pendingAnswer.front().size() >= 2) {
        received.mid = pendingAnswer.front()[1];
    }

    // Every fault counts its own matches, whether or not another fault fires.
    const int command = received.command;
    const int mid = received.mid;
    const bool disconnect = Matches(faults.disconnect, hits.disconnect, command, mid);
    const bool silence = Matches(faults.silence, hits.silence, command, mid);
    const bool busy = Matches(faults.busy, hits.busy, command, mid);
    const bool wrongConnection =
        Matches(faults.wrongConnectionNumber, hits.wrongConnection, command, mid);
    const bool malformed = Matches(faults.malformed, hits.malformed, command, mid);
    if (disconnect) {
        record();
        reply.close = true;
        return reply;
    }
    if (silence) {
        record();
        return reply;
    }

    const std::string connectionNumber = in.connection.size() == 4 ? in.connection : "0001";
    const std::string answerConnection =
        wrongConnection ? emu::OtherConnection(connectionNumber) : connectionNumber;
    std::string answer;
    if (in.command == emu::kCommandChannelQuery) {
        ++counters.channelQueries;
        answer = emu::NameAnswer(options.model);
    } else if (!problem.empty()) {
        answer = emu::AckBlock(answerConnection, emu::kNackIllegalFormat);
    } else {
        answer = HandleTool(in, answerConnection, problem);
    }
    record();
    if (malformed) {
        answer = Garble(std::move(answer), faults.malformKind);
    }
    if (busy && in.command != emu::kCommandChannelQuery) {
        const std::string nack = emu::AckBlock(connectionNumber, emu::kNackBusy);
        for (int i = 0; i < faults.busyNacks; ++i) {
            reply.writes.push_back(nack);
        }
    }
    reply.writes.push_back(std::move(answer));
    if (faults.busyAndAnswerInOneWrite && reply.writes.size() > 1) {
        std::string joined;
        for (const std::string& block : reply.writes) {
            joined += block;
        }
        reply.writes = {std::move(joined)};
    }
    return reply;
}

std::string MfpEmulator::Impl::HandleTool(const emu::IncomingCommand& in,
                                          const std::string& connectionNumber,
                                          std::string& problem) {
    switch (static_cast<ToolCommand>(in.command)) {
        case ToolCommand::Nop:
            ++counters.nops;
            return emu::AckBlock(connectionNumber, faults.nopResult);
        case ToolCommand::OccupyStart:
            ++counters.occupyStarts;
            if (++hits.occupyStarts <= faults.busyOccupyStarts) {
                return emu::AckBlock(connectionNumber, emu::kNackBusy);
            }
            occupied = true;
            return emu::AckBlock(connectionNumber, emu::kResultOk);
        case ToolCommand::OccupyEnd:
            ++counters.occupyEnds;
            if (!occupied) {
                problem = "occupy end while the fax was not occupied";
            }
            occupied = false;
            assembler.Reset();
            pendingAnswer.clear();
            return emu::AckBlock(connectionNumber, emu::kResultOk);
        case ToolCommand::FrameWrite: {
            ++counters.frameWrites;
            if (!occupied) {
                problem = "frame write while the fax was not occupied";
                return emu::AckBlock(connectionNumber, emu::kNackMfpError);
            }
            problem = emu::CheckWrittenFrame(in.frame);
            if (!problem.empty()) {
                assembler.Reset();
                return emu::AckBlock(connectionNumber, emu::kNackIllegalFormat);
            }
            emu::MessageAssembler::Step step = assembler.Add(in.frame);
            if (!step.problem.empty()) {
                problem = step.problem;
                return emu::AckBlock(connectionNumber, emu::kNackIllegalFormat);
            }
            if (step.complete) {
                if (!pendingAnswer.empty()) {
                    problem = Format("%u answer frames of the previous message were not read",
                                     pendingAnswer.size());
                }
                ++counters.requests[step.mid];
                const auto cause = faults.stopCause.find(step.mid);
                emu::HandleResult result = list.Handle(
                    step.mid, step.params, Config(),
                    cause == faults.stopCause.end() ? std::nullopt
                                                    : std::optional<std::uint8_t>(cause->second));
                if (!result.problem.empty()) {
                    problem = problem.empty() ? result.problem : problem + "; " + result.problem;
                }
                if (result.cancelled) {
                    ++counters.cancellations[step.mid];
                }
                if (result.registered) {
                    ++counters.registrations[step.mid];
                }
                pendingAnswer.assign(result.answerFrames.begin(), result.answerFrames.end());
            }
            return emu::AckBlock(connectionNumber, emu::kResultOk);
        }
        case ToolCommand::FrameRead: {
            ++counters.frameReads;
            if (!occupied) {
                problem = "frame read while the fax was not occupied";
                return emu::AckBlock(connectionNumber, emu::kNackMfpError);
            }
            if (pendingAnswer.empty()) {
                problem = "frame read with no answer waiting";
                return emu::AckBlock(connectionNumber, emu::kNackReadTimeout);
            }
            const Bytes frame = std::move(pendingAnswer.front());
            pendingAnswer.pop_front();
            return emu::DataBlock(
                connectionNumber,
                std::string_view(reinterpret_cast<const char*>(frame.data()), frame.size()));
        }
    }
    problem = "unknown tool command";
    return emu::AckBlock(connectionNumber, emu::kNackIllegalFormat);
}

MfpEmulator::MfpEmulator(MfpEmulatorOptions options)
    : options_(std::move(options)), impl_(std::make_unique<Impl>(options_)) {}

MfpEmulator::~MfpEmulator() {
    Stop();
}

bool MfpEmulator::Start(std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) {
            *error = what + ": " + std::strerror(errno);
        }
        if (impl_->listenFd >= 0) {
            ::close(impl_->listenFd);
            impl_->listenFd = -1;
        }
        return false;
    };
    if (Running()) {
        return true;
    }
    if (!options_.usbPtyLink.empty()) {
        if (!impl_->OpenPty(error) || pipe2(impl_->wake, O_CLOEXEC) != 0) {
            impl_->ClosePty();
            return false;
        }
        {
            std::lock_guard lock(impl_->mutex);
            impl_->stopping = false;
            impl_->running = true;
        }
        impl_->thread = std::thread([this] { impl_->Serve(); });
        return true;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(options_.port);
    if (inet_pton(AF_INET, options_.address.c_str(), &address.sin_addr) != 1) {
        errno = EINVAL;
        return fail("not an IPv4 address \"" + options_.address + "\"");
    }
    impl_->listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (impl_->listenFd < 0) {
        return fail("socket");
    }
    const int one = 1;
    setsockopt(impl_->listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(impl_->listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return fail(Format("bind %s:%u", options_.address, options_.port));
    }
    if (listen(impl_->listenFd, 8) != 0) {
        return fail("listen");
    }
    socklen_t length = sizeof address;
    getsockname(impl_->listenFd, reinterpret_cast<sockaddr*>(&address), &length);
    impl_->port = ntohs(address.sin_port);
    if (pipe2(impl_->wake, O_CLOEXEC) != 0) {
        return fail("pipe");
    }
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = false;
        impl_->running = true;
    }
    impl_->thread = std::thread([this] { impl_->Serve(); });
    return true;
}

void MfpEmulator::Stop() {
    {
        std::lock_guard lock(impl_->mutex);
        if (!impl_->running) {
            return;
        }
        impl_->stopping = true;
    }
    impl_->changed.notify_all();
    const char byte = 1;
    while (write(impl_->wake[1], &byte, 1) < 0 && errno == EINTR) {
    }
    impl_->thread.join();
    if (impl_->listenFd >= 0) {
        ::close(impl_->listenFd);
    }
    ::close(impl_->wake[0]);
    ::close(impl_->wake[1]);
    impl_->listenFd = impl_->wake[0] = impl_->wake[1] = -1;
    std::lock_guard lock(impl_->mutex);
    impl_->running = false;
}

std::string MfpEmulator::DeviceId() const {
    if (!options_.deviceId.empty()) {
        return options_.deviceId;
    }
    return "MFG:ORVEX;CMD:QNL;MDL:" + options_.model + ";CLS:PRINTER;DES:ORVEX " + options_.model +
           ";SN:EMU1;";
}

bool MfpEmulator::Running() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->running;
}

std::uint16_t MfpEmulator::Port() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->running ? impl_->port : options_.port;
}

void MfpEmulator::SetFaults(const EmulatorFaults& faults) {
    std::lock_guard lock(impl_->mutex);
    impl_->faults = faults;
    impl_->hits = {};
}

EmulatorFaults MfpEmulator::Faults() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->faults;
}

bool MfpEmulator::LoadUserFile(const std::string& path, std::string* error) {
    auto fail = [&](std::string what) {
        if (error) {
            *error = std::move(what);
        }
        return false;
    };
    ProductProfile profile(options_);
    DialModel model;
    const LoadResult loaded = LoadDialFile(path, model, profile.Product());
    if (!loaded.readable) {
        return fail(loaded.readError);
    }
    if (!loaded.errorLines.empty()) {
        std::string lines;
        for (const std::string& line : loaded.errorLines) {
            lines += line + "\n";
        }
        return fail(lines);
    }
    // A device with the short sender field holds no more of the name than fits in it; asking
    // it to take the long field would only be refused.
    if (!options_.longSenderSupported) {
        std::string& name = model.senderName;
        while (IsLongSenderName(name)) {
            while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80) {
                name.pop_back();
            }
            if (!name.empty()) {
                name.pop_back();
            }
        }
    }
    emu::DeviceDialList fresh;
    try {
        RecordTable table(profile.Product());
        table.BuildFromModel(model);
        RecordFormat format;
        format.extended = options_.extendedFormat;
        format.longSender = IsLongSenderName(model.senderName);
        for (const auto& [mid, message] : EncodeTable(table, format)) {
            if (message.Empty()) {
                continue;
            }
            std::vector<FrameParam> params;
            for (const FrameRecord& frame : message.Frames()) {
                params.insert(params.end(), frame.params.begin(), frame.params.end());
            }
            const emu::HandleResult stored =
                fresh.Handle(mid, params, impl_->Config(), std::nullopt);
            if (!stored.registered) {
                return fail(stored.problem);
            }
        }
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    std::lock_guard lock(impl_->mutex);
    impl_->list = std::move(fresh);
    return true;
}

bool MfpEmulator::DumpUserFile(const std::string& path, std::string* error) const {
    std::vector<FrameRecord> messages;
    {
        std::lock_guard lock(impl_->mutex);
        for (std::uint8_t mid : {0x7C, 0x79, 0x76, 0x60}) {
            messages.push_back(impl_->list.InformationMessage(mid));
        }
    }
    ProductProfile profile(options_);
    RecordTable table(profile.Product());
    try {
        DecodeDownload(messages, options_.extendedFormat, table);
    } catch (const std::exception& e) {
        if (error) {
            *error = e.what();
        }
        return false;
    }
    return WriteDownloadFile(path, table, error);
}

void MfpEmulator::ClearDialList() {
    std::lock_guard lock(impl_->mutex);
    impl_->list.Clear();
}

int MfpEmulator::StoredCount(char kind) const {
    std::lock_guard lock(impl_->mutex);
    return static_cast<int>(impl_->list.Records(kind).size());
}

std::optional<std::string> MfpEmulator::StoredValue(char kind, int number) const {
    std::lock_guard lock(impl_->mutex);
    const auto& records = impl_->list.Records(kind);
    const auto found = records.find(number);
    if (found == records.end()) {
        return std::nullopt;
    }
    return std::string(found->second.begin(), found->second.end());
}

void MfpEmulator::StoreValue(char kind, int number, const std::string& value) {
    std::lock_guard lock(impl_->mutex);
    impl_->list.Store(kind, number, ToBytes(value));
}

std::vector<ReceivedCommand> MfpEmulator::Transcript() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->transcript;
}

std::vector<std::string> MfpEmulator::Problems() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->problems;
}

EmulatorCounters MfpEmulator::Counters() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->counters;
}

bool MfpEmulator::Occupied() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->occupied;
}

void MfpEmulator::ClearTranscript() {
    std::lock_guard lock(impl_->mutex);
    impl_->transcript.clear();
    impl_->problems.clear();
}

bool MfpEmulator::WaitForDisconnects(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout,
                                   [&] { return impl_->counters.disconnects >= count; });
}

bool MfpEmulator::WaitForCommands(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout, [&] { return impl_->commandNumber >= count; });
}

}  // namespace dialvane
