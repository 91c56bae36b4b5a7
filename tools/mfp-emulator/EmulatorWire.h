#pragma once

// The device's side of the wire: taking the program's byte stream apart into commands, and
// building the answer blocks the device sends back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dialvane::emu {

inline constexpr std::string_view kNameQuery = "@QNL INQUIRE NAME\r\n";
inline constexpr std::string_view kLanguageSwitch = "@QNL ENTER LANGUAGE=RCC\r\n";

// Result codes the device answers with.
inline constexpr std::uint16_t kResultOk = 0x0000;
inline constexpr std::uint16_t kNackIllegalFormat = 0xF9;
inline constexpr std::uint16_t kNackMfpError = 0xFA;
inline constexpr std::uint16_t kNackReadTimeout = 0xFB;
inline constexpr std::uint16_t kNackBusy = 0xFC;

inline constexpr int kCommandChannelQuery = -2;
inline constexpr int kCommandUnreadable = -1;

struct IncomingCommand {
    int command = kCommandUnreadable;  // kCommandChannelQuery, a tool command code 0..4, or -1
    std::string connection;            // the 4 characters as received ("" when not readable)
    std::string frame;                 // FRAME_WRITE: the frame bytes, pad byte included
    std::string problem;               // what is wrong with the command; empty when well formed
};

enum class ScanState {
    Incomplete,  // more bytes are needed
    Command,     // one command (possibly with a problem) taken from the front
    Garbage,     // bytes that belong to no command were dropped from the front
};

struct ScanResult {
    ScanState state = ScanState::Incomplete;
    std::size_t consumed = 0;
    IncomingCommand command;  // Command: the command; Garbage: only `problem`
};

// Takes the first command from the bytes received so far. `idle` says no more bytes arrived for
// a while: a partial envelope that already ends in ESC SOH then counts as a wrong byte count
// instead of waiting for ever.
ScanResult ScanIncoming(std::string_view buffered, bool idle);

// Checks a written frame (as the program sends it: header, LEN when present, parameters, one
// pad byte when odd). Returns the problem, or "" when the frame is well formed.
std::string CheckWrittenFrame(std::string_view frame);

std::string Base64Encode(std::string_view bytes);

std::string Hex4(unsigned value);

// "@QNL SDC FAXTOOL=8\r\n" + connection + result code + FF.
std::string AckBlock(std::string_view connection, std::uint16_t result);
// "@QNL SDC FAXTOOL=<n>\r\n" + connection + "0000" + Base64 of the frame + FF.
std::string DataBlock(std::string_view connection, std::string_view frame);
std::string NameAnswer(std::string_view model);

// A connection number that differs from the one given.
std::string OtherConnection(std::string_view connection);

}  // namespace dialvane::emu
