#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "support/Format.h"
#include "support/Prompt.h"
#include "support/QnlEnv.h"

namespace dialvane {

// The nineteen log categories; the number is the bit in the category mask and the name is the
// key in section "LOG_LEVEL". 0-7 say what a line reports, 8-18 which part writes it. A line is
// written only when both its process category and its function kind are switched on.
enum class LogCategory : int {
    LogFunc_Error = 0,
    LogFunc_Start = 1,
    LogFunc_End = 2,
    LogFunc_Step = 3,
    LogFunc_Term = 4,
    LogFunc_Info = 5,
    LogFunc_Title = 6,
    LogFunc_Event = 7,
    LogProc_DataSend = 8,
    LogProc_DataReceive = 9,
    LogProc_QNL_Response = 10,
    LogProc_QNL_Check_Frame_End = 11,
    LogProc_QNL_CheckReceiveData = 12,
    LogProc_ZEVIZ = 13,
    LogProc_UThread_Execute = 14,
    LogProc_QNLCMD = 15,
    LogProc_TCP = 16,
    LogProc_BASE64 = 17,
    LogProc_SetRcvMessage = 18,
};
inline constexpr int kLogCategoryCount = 19;

const char* LogCategoryName(LogCategory category);

inline constexpr const char* kLogFileName = "ZEVIZ_LOG.txt";

// Truncates the log file in `dataFolder` (unless another run of the program still writes to it:
// its lines stay and this run's follow), writes the header (version, time, the protocol
// settings, DISP and the switch of every category) and sets the category mask from section
// "LOG_LEVEL" of the program settings file. Nothing is logged before the first call.
void LogInit(const std::string& dataFolder, const std::string& programSettingsFile,
             const QnlEnvRecord& env, uint8_t verify, int disp);

// While it lives, the lines this thread writes carry "[host] " (after the time stamp in mode
// 'L'), so the lines of runs that share the log tell their MFPs apart. Empty: no tag.
class ScopedLogTag {
  public:
    explicit ScopedLogTag(const std::string& host);
    ~ScopedLogTag();
    ScopedLogTag(const ScopedLogTag&) = delete;
    ScopedLogTag& operator=(const ScopedLogTag&) = delete;

  private:
    std::string previous_;
};

// Appends one line. mode 'L': "hh:nn:ss.zzz... text"; 'R': "text (hh:nn:ss.zzz)"; 'N': the text
// alone. Any other mode writes nothing.
void LogWrite(std::string_view text, LogCategory process, LogCategory kind, char mode);

// LogWrite of Format(format, args...), formatted only when both categories are on: a line that
// is switched off costs two bit tests and builds nothing.
template <typename... Args>
void LogWriteF(LogCategory process, LogCategory kind, char mode, std::string_view format,
               const Args&... args);

// Appends an ASCII block and a binary block of the bytes, each indented, as one unit.
void LogDump(const uint8_t* bytes, size_t count, LogCategory process, int indent, LogCategory kind);

// Whether the category is switched on; test it before building an expensive line.
bool LogEnabled(LogCategory category);

// The dump text alone: style 'S' (ASCII with control bytes named) or 'B' (hex rows of 16).
// Any other style gives an empty text. The indent is capped at 61 blanks.
std::string FormatDump(const uint8_t* bytes, size_t count, char style, int indent);

// Appends text to the named file in the data folder. When the file cannot be written the user
// is told through the log's failure prompt ("File Error") and the text is dropped; false then.
bool LogAppend(std::string_view text, const std::string& fileName);

// Where the log tells the user that it cannot write: each program installs its prompt next to
// where it starts the log. Without one the failure is dropped silently (nullptr removes it).
void SetLogFailurePrompt(std::shared_ptr<IPrompt> prompt);

// The process-wide re-entrant log lock. Hold it to write several blocks as one, or to change
// the progress view so that it never interleaves with a log write.
std::recursive_mutex& LogLock();

// Local date and time as the log shows it. Tests replace the clock; nullptr restores it.
struct LogClockTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};
void SetLogClock(std::function<LogClockTime()> clock);
LogClockTime LogNow();
std::string FormatLogTime(const LogClockTime& time);      // "hh:nn:ss.zzz"
std::string FormatLogDateTime(const LogClockTime& time);  // "yyyy/mm/dd hh:nn:ss"

// The four-digit hexadecimal setting read back as a number: its first four characters, each
// a hex digit, else -1.
int ReadHexSetting(std::string_view text);

template <typename... Args>
void LogWriteF(LogCategory process, LogCategory kind, char mode, std::string_view format,
               const Args&... args) {
    if (LogEnabled(process) && LogEnabled(kind)) {
        LogWrite(Format(format, args...), process, kind, mode);
    }
}

}  // namespace dialvane
