#include "support/DiagnosticLog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "support/FileUtil.h"
#include "support/Format.h"
#include "support/IniFile.h"
#include "support/Messages.h"
#include "support/Prompt.h"
#include "support/TextUtil.h"
#include "support/Version.h"

namespace dialvane {
namespace {

constexpr const char* kCategoryNames[kLogCategoryCount] = {
    "LogFunc_Error",
    "LogFunc_Start",
    "LogFunc_End",
    "LogFunc_Step",
    "LogFunc_Term",
    "LogFunc_Info",
    "LogFunc_Title",
    "LogFunc_Event",
    "LogProc_DataSend",
    "LogProc_DataReceive",
    "LogProc_QNL_Response",
    "LogProc_QNL_Check_Frame_End",
    "LogProc_QNL_CheckReceiveData",
    "LogProc_ZEVIZ",
    "LogProc_UThread_Execute",
    "LogProc_QNLCMD",
    "LogProc_TCP",
    "LogProc_BASE64",
    "LogProc_SetRcvMessage",
};

constexpr uint32_t kAllCategories = (1u << kLogCategoryCount) - 1;
constexpr int kMaxIndent = 61;
// Another run on the same data folder holds the file only while it appends one line; a file
// held longer than this is held by another program.
constexpr auto kAppendLockWait = std::chrono::milliseconds(500);
constexpr auto kAppendLockRetry = std::chrono::microseconds(200);

// Written by LogInit only, read by every writer without the lock.
std::atomic<uint32_t> g_mask{0};

// The folder and the clock change only in LogInit and in tests; both are read under the lock.
std::string& DataFolder() {
    static std::string folder;
    return folder;
}

// The clock has its own mutex: the stamp is taken before the log lock.
std::mutex& ClockMutex() {
    static std::mutex mutex;
    return mutex;
}

std::function<LogClockTime()>& ClockOverride() {
    static std::function<LogClockTime()> clock;
    return clock;
}

// The log's own failures are told through this prompt; it has its own mutex because a failure is
// reported outside the log lock.
std::mutex& FailurePromptMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<IPrompt>& FailurePrompt() {
    static std::shared_ptr<IPrompt> prompt;
    return prompt;
}

// The log file held open for the whole run with a shared lock on it: it tells a run that starts
// later that this one is still writing, so that one does not truncate the file under us.
// Guarded by the log lock.
int& UserFd() {
    static int fd = -1;
    return fd;
}

std::string& ThreadTag() {
    thread_local std::string tag;
    return tag;
}

bool LockWholeFile(int fd, short type, bool wait) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    int rc;
    do {
        rc = ::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &range);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

// Caller holds the log lock. Truncates the file only when no other run of the program is
// using it, and registers this run as a user.
void OpenAsUser(const std::string& path) {
    if (UserFd() >= 0) {
        ::close(UserFd());
    }
    UserFd() = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (UserFd() < 0) {
        // A truncation that fails is not reported; later writes append or create the file.
        return;
    }
    if (LockWholeFile(UserFd(), F_WRLCK, false)) {
        [[maybe_unused]] const int ignored = ::ftruncate(UserFd(), 0);
    }
    LockWholeFile(UserFd(), F_RDLCK, true);
}

// Waits briefly while another run appends its line.
bool LockForAppend(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + kAppendLockWait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kAppendLockRetry);
    }
    return true;
}

uint32_t Bit(LogCategory category) {
    auto n = static_cast<int>(category);
    return (n >= 0 && n < kLogCategoryCount) ? (1u << n) : 0u;
}

bool BothEnabled(LogCategory process, LogCategory kind) {
    uint32_t mask = g_mask.load(std::memory_order_relaxed);
    uint32_t p = Bit(process);
    uint32_t k = Bit(kind);
    return p != 0 && k != 0 && (mask & p) != 0 && (mask & k) != 0;
}

// Caller holds the log lock. The exclusive flock keeps other writers out while we append, as
// the file is opened "denying other writers"; a file another program holds locked counts as
// one that cannot be opened.
bool AppendLocked(std::string_view text, const std::string& fileName) {
    std::string path = DataFolder() + fileName;
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            return false;
        }
    }
    if (!LockForAppend(fd)) {
        ::close(fd);
        return false;
    }
    bool ok = text.empty() || WriteAllBytes(fd, text);
    ok = (::close(fd) == 0) && ok;
    return ok;
}

// Told outside the log lock where we can: a window prompt may need the main thread, which may
// itself be waiting for the lock.
void ReportAppendFailure(const std::string& fileName) {
    PromptRequest request;
    request.text = Text(Msg::LogFileWriteError) + "(" + fileName + ")";
    request.title = Text(Msg::LogFileErrorCaption);
    request.buttons = PromptButtons::Ok;
    request.icon = PromptIcon::Warning;
    request.defaultAnswer = PromptAnswer::Ok;
    std::shared_ptr<IPrompt> prompt;
    {
        std::lock_guard lock(FailurePromptMutex());
        prompt = FailurePrompt();
    }
    // Asked outside the mutex: the user may take as long as they like to answer.
    if (prompt) {
        prompt->Ask(request);
    }
}

std::string VersionValue(const std::vector<std::string>& list, std::string_view name) {
    for (const std::string& entry : list) {
        if (entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 &&
            entry[name.size()] == '=') {
            return entry.substr(name.size() + 1);
        }
    }
    return {};
}

const char* ControlName(unsigned char byte) {
    switch (byte) {
        case 0x01:
            return "<SOH>";
        case 0x0A:
            return "<LF>";
        case 0x0C:
            return "<FF>";
        case 0x0D:
            return "<CR>";
        case 0x1B:
            return "<ESC>";
        case 0x1D:
            return "<GS>";
        default:
            return nullptr;
    }
}

}  // namespace

const char* LogCategoryName(LogCategory category) {
    auto n = static_cast<int>(category);
    return (n >= 0 && n < kLogCategoryCount) ? kCategoryNames[n] : "";
}

std::recursive_mutex& LogLock() {
    static std::recursive_mutex lock;
    return lock;
}

void SetLogFailurePrompt(std::shared_ptr<IPrompt> prompt) {
    std::lock_guard lock(FailurePromptMutex());
    FailurePrompt() = std::move(prompt);
}

void SetLogClock(std::function<LogClockTime()> clock) {
    std::lock_guard lock(ClockMutex());
    ClockOverride() = std::move(clock);
}

LogClockTime LogNow() {
    {
        std::lock_guard lock(ClockMutex());
        if (ClockOverride()) {
            return ClockOverride()();
        }
    }
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    LogClockTime time;
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
    time.millisecond = static_cast<int>(now.tv_nsec / 1000000);
    return time;
}

std::string FormatLogTime(const LogClockTime& time) {
    return Format("%02d:%02d:%02d.%03d", time.hour, time.minute, time.second, time.millisecond);
}

std::string FormatLogDateTime(const LogClockTime& time) {
    return Format("%04d/%02d/%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
}

int ReadHexSetting(std::string_view text) {
    if (text.size() < 4) {
        return -1;
    }
    int value = 0;
    for (size_t i = 0; i < 4; ++i) {
        char c = text[i];
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

bool LogAppend(std::string_view text, const std::string& fileName) {
    if (fileName.empty()) {
        return true;
    }
    bool ok;
    {
        std::lock_guard lock(LogLock());
        ok = AppendLocked(text, fileName);
    }
    if (!ok) {
        ReportAppendFailure(fileName);
    }
    return ok;
}

namespace {

// Caller holds the log lock. False when any part of the header could not be written.
bool WriteHeader(const std::string& dataFolder, const std::string& programSettingsFile,
                 const QnlEnvRecord& env, uint8_t verify, int disp) {
    g_mask.store(0);
    DataFolder() = dataFolder;

    OpenAsUser(dataFolder + kLogFileName);

    std::vector<std::string> version;
    ReadVersionStrings(version);
    // An unwritable file is reported once for the whole header, not once per header line.
    bool headerWritten = true;
    auto append = [&headerWritten](const std::string& text) {
        headerWritten = AppendLocked(text, kLogFileName) && headerWritten;
    };
    auto line = [&append](const std::string& text) { append(text + "\r\n"); };

    line(Format("プロダクト名.....%s", VersionValue(version, "ProductName")));
    line(Format("バージョン.......%s", VersionValue(version, "ProductVersion")));
    line(Format("開発バージョン...%s", VersionValue(version, "Comments")));
    line(Format("記録日時.........%s", FormatLogDateTime(LogNow())));
    line(Format("設定ファイル.....%s",
                programSettingsFile.empty() ? "(なし)" : programSettingsFile));

    append("\r\n======== QNLの環境 [QNL_ENV] =========\r\n");
    line(Format("接続番号(CONNECT_NO) = %s", env.connectNo));
    line(Format("占有タイムアウト(OPEN_TIMEOUT)     = %s(%d) [sec]", env.openTimeout,
                ReadHexSetting(env.openTimeout)));
    line(Format("読込みタイムアウト(READ_TIMEOUT)   = %s(%d) [sec]", env.readTimeout,
                ReadHexSetting(env.readTimeout)));
    line(Format("占有リトライ回数(OPEN_RETRY_COUNT) = %d [回]", env.openRetryCount));
    line(Format("占有リトライ周期(OPEN_RETRY_TIME)  = %d [ms]", env.openRetryTime));
    line(Format("NACKリトライ回数(NACK_RETRY_COUNT) = %d [回]", env.nackRetryCount));
    line(Format("NACKリトライ周期(NACK_RETRY_TIME)  = %d [ms]", env.nackRetryTime));
    line(Format("USBポーリング周期(POLINGRATE)      = %d [ms]", env.polingRate));
    line(Format("TCPポーリング周期(TCP_POLINGRATE)  = %d [ms]", env.tcpPolingRate));
    line(Format("タイムアウト(TIMEOUT)              = %d [ms]", env.timeout));
    line(Format("受信ディレイ時間(READ_DELAY)       = %d [ms]", env.readDelay));
    line(Format("ベリファイ処理有無(VERIFY)         = %d", verify));

    append("\r\n======== ログ環境 [LOG_LEVEL] =========\r\n");
    line(Format("ステータス表示のレベル(DISP) = %d", disp));

    CSimpleIniA ini;
    LoadIniFile(ini, programSettingsFile);  // a missing file leaves every switch off
    std::string fallback = IniText(ini, "LOG_LEVEL", "DEFAULT", "0");
    uint32_t mask = kAllCategories;
    for (int n = 0; n < kLogCategoryCount; ++n) {
        std::string value = IniText(ini, "LOG_LEVEL", kCategoryNames[n], fallback.c_str());
        if (value == "0") {
            mask &= ~(1u << n);
            line(Format("× %s", kCategoryNames[n]));
        } else {
            line(Format("○ %s", kCategoryNames[n]));
        }
    }
    append("==========================\r\n\r\n");
    g_mask.store(mask);
    return headerWritten;
}

}  // namespace

void LogInit(const std::string& dataFolder, const std::string& programSettingsFile,
             const QnlEnvRecord& env, uint8_t verify, int disp) {
    bool ok;
    {
        std::lock_guard lock(LogLock());
        ok = WriteHeader(dataFolder, programSettingsFile, env, verify, disp);
    }
    if (!ok) {
        ReportAppendFailure(kLogFileName);
    }
}

ScopedLogTag::ScopedLogTag(const std::string& host) : previous_(ThreadTag()) {
    ThreadTag() = host.empty() ? std::string() : "[" + host + "] ";
}

ScopedLogTag::~ScopedLogTag() {
    ThreadTag() = previous_;
}

bool LogEnabled(LogCategory category) {
    return (g_mask.load(std::memory_order_relaxed) & Bit(category)) != 0;
}

void LogWrite(std::string_view text, LogCategory process, LogCategory kind, char mode) {
    if (!BothEnabled(process, kind)) {
        return;
    }
    std::string stamp;
    if (mode != 'N') {
        stamp = FormatLogTime(LogNow());  // before the lock, so stamps may be slightly out of order
    }
    const std::string& tag = ThreadTag();
    bool ok = true;
    {
        std::lock_guard lock(LogLock());
        std::string out;
        switch (mode) {
            case 'L':
                out = stamp + "... " + tag + std::string(text);
                break;
            case 'R':
                out = tag + std::string(text) + " (" + stamp + ")";
                break;
            case 'N':
                out = tag + std::string(text);
                break;
            default:
                return;
        }
        out += "\r\n";
        ok = AppendLocked(out, kLogFileName);
    }
    if (!ok) {
        ReportAppendFailure(kLogFileName);
    }
}

void LogDump(const uint8_t* bytes, size_t count, LogCategory process, int indent,
             LogCategory kind) {
    if (!BothEnabled(process, kind)) {
        return;
    }
    bool ok = true;
    {
        // Both blocks in one append, so no other line, not even another run's, falls between.
        std::lock_guard lock(LogLock());
        ok = AppendLocked(
            FormatDump(bytes, count, 'S', indent) + FormatDump(bytes, count, 'B', indent),
            kLogFileName);
    }
    if (!ok) {
        ReportAppendFailure(kLogFileName);
    }
}

std::string FormatDump(const uint8_t* bytes, size_t count, char style, int indent) {
    if (bytes == nullptr) {
        count = 0;
    }
    std::string pad(static_cast<size_t>(std::clamp(indent, 0, kMaxIndent)), ' ');
    std::string out;
    if (style == 'S') {
        out.reserve(pad.size() + 8 + count);
        out += pad;
        out += "ASC : ";
        for (size_t i = 0; i < count; ++i) {
            const char* name = ControlName(bytes[i]);
            if (name != nullptr) {
                out += name;
            } else {
                out += static_cast<char>(bytes[i]);
            }
        }
        out += "\r\n";
    } else if (style == 'B') {
        static const char kHex[] = "0123456789ABCDEF";
        out.reserve(pad.size() * (count / 16 + 2) + 60 + count * 3 + (count / 16 + 1) * 8);
        out += pad;
        out += "BIN : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F";
        for (size_t i = 0; i < count; ++i) {
            if (i % 16 == 0) {
                out += "\r\n";
                out += pad;
                out += Format("%04X: ", static_cast<unsigned long long>(i));
            }
            out += kHex[bytes[i] >> 4];
            out += kHex[bytes[i] & 0x0F];
            out += '.';
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace dialvane
