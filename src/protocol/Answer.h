#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "protocol/Frame.h"

namespace dialvane {

// The response status shared by the receive side and the waiting side: one byte.
enum class ResponseStatus : std::uint8_t {
    QNL_NONE = 0,
    QNL_ACK = 1,
    QNL_NACK = 2,
    QNL_RES = 3,
    QNL_ANS = 4,
    QNL_ERR_SIZE = 5,
    QNL_ERR_FORMAT = 6,
    QNL_ERR_CONNECT_NO = 7,
    QNL_ERR_TIMEOUT = 8,
    QNL_ABORT = 9,
    QNL_ILL_CMD = 10,
    QNL_ERR_DEV = 11,
};

// "QNL_ACK" ...; "UNKNOWN" for a value outside the table.
std::string_view StatusName(ResponseStatus status);

inline constexpr std::string_view kAnswerNameMarker = "@QNL ANSWER NAME=";
inline constexpr std::string_view kAnswerToolMarker = "@QNL SDC FAXTOOL=";
inline constexpr std::size_t kMaxModelNameLength = 63;
inline constexpr char kAnswerEnd = 0x0C;

// A first line longer than this without a line end is not an answer.
inline constexpr std::size_t kMaxAnswerLine = 512;
// Largest data part a frame can need (F_LEN 65535 plus its header, Base64-encoded).
inline constexpr std::size_t kMaxAnswerDataChars = (65535 + 4 + 2) / 3 * 4;

// What one answer says. Only the members that the answer sets are filled; the receive side
// stores them into its shared state (see AnswerState).
struct AnswerClassification {
    ResponseStatus status = ResponseStatus::QNL_NONE;
    std::optional<std::uint16_t> nackCode;  // set by an ACK (0) or a NACK (its code)
    std::optional<std::string> modelName;   // set by a name answer, cleared ("") by unknown text
    std::optional<Bytes> frame;             // the decoded frame bytes of a data answer
};

// Classifies the bytes of one receive as one answer. `connectNo` is the 4-character connection
// number that was sent. Never reads outside `received`; missing bytes count as a wrong size.
AnswerClassification ClassifyAnswer(std::string_view received, std::string_view connectNo);

inline AnswerClassification ClassifyAnswer(std::span<const std::uint8_t> received,
                                           std::string_view connectNo) {
    return ClassifyAnswer(
        std::string_view(reinterpret_cast<const char*>(received.data()), received.size()),
        connectNo);
}

// For a byte stream (TCP): where the first answer in `buffered` ends.
enum class ScanState {
    Incomplete,  // the answer has not fully arrived: keep the bytes and receive more
    Complete,    // one whole answer: drop `consumed` bytes, use `answer`
    Garbage,     // bytes that are no well-formed answer: drop `consumed` bytes, report `answer`
};

struct AnswerScan {
    ScanState state = ScanState::Incomplete;
    std::size_t consumed = 0;
    AnswerClassification answer;
};

AnswerScan ScanAnswer(std::string_view buffered, std::string_view connectNo);

// The state the classification of answers keeps between receives.
struct AnswerState {
    ResponseStatus status = ResponseStatus::QNL_NONE;
    std::uint16_t nackCode = 0;
    std::string modelName;
    Bytes frameBuffer;

    void Apply(const AnswerClassification& answer);
};

}  // namespace dialvane
