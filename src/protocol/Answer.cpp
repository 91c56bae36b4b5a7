#include "protocol/Answer.h"

#include <array>
#include <limits>

#include "protocol/Base64.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr std::array<std::string_view, 12> kStatusNames = {
    "QNL_NONE",        "QNL_ACK",      "QNL_NACK",       "QNL_RES",
    "QNL_ANS",         "QNL_ERR_SIZE", "QNL_ERR_FORMAT", "QNL_ERR_CONNECT_NO",
    "QNL_ERR_TIMEOUT", "QNL_ABORT",    "QNL_ILL_CMD",    "QNL_ERR_DEV",
};

// The number between the first "=" of the line and its last two characters (CR LF);
// -1 when that text is not a decimal number.
long long LineValue(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || line.size() < 2) {
        return -1;
    }
    const std::size_t begin = eq + 1;
    const std::size_t end = line.size() - 2;
    if (begin >= end) {
        return -1;
    }
    std::string_view text = line.substr(begin, end - begin);
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10) {
        return -1;
    }
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    if (value > std::numeric_limits<int>::max()) {
        return -1;
    }
    return negative ? -value : value;
}

std::optional<std::uint16_t> ParseHex4(std::string_view text) {
    if (text.size() != 4) {
        return std::nullopt;
    }
    std::uint16_t value = 0;
    for (const char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = static_cast<std::uint16_t>((value << 4) | digit);
    }
    return value;
}

// Up to `count` characters from `at`, or fewer when the bytes end first.
std::string_view Take(std::string_view text, std::size_t at, std::size_t count) {
    if (at >= text.size()) {
        return {};
    }
    return text.substr(at, count);
}

std::string ModelNameFrom(std::string_view line) {
    // The name follows the marker; bytes in front of the marker (a stray form feed of an
    // earlier answer) are not part of it.
    const std::size_t at = line.find(kAnswerNameMarker);
    std::string name;
    for (const char c : line.substr(at + kAnswerNameMarker.size())) {
        if (c != '"') {
            name += c;
        }
    }
    name = Trim(name);
    if (name.size() > kMaxModelNameLength) {
        std::size_t cut = kMaxModelNameLength;
        // Never leave half a UTF-8 character at the end.
        for (int back = 0;
             back < 3 && cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80;
             ++back) {
            --cut;
        }
        name.resize(cut);
    }
    return name;
}

}  // namespace

std::string_view StatusName(ResponseStatus status) {
    const auto index = static_cast<std::size_t>(status);
    return index < kStatusNames.size() ? kStatusNames[index] : std::string_view("UNKNOWN");
}

AnswerClassification ClassifyAnswer(std::string_view received, std::string_view connectNo) {
    AnswerClassification answer;
    if (received.empty()) {
        answer.status = ResponseStatus::QNL_NONE;
        return answer;
    }
    const std::size_t lf = received.find('\n');
    if (lf == std::string_view::npos) {
        answer.status = ResponseStatus::QNL_ERR_FORMAT;
        return answer;
    }
    const std::string_view line = received.substr(0, lf + 1);
    const std::string_view rest = received.substr(lf + 1);
    const long long value = LineValue(line);
    const bool toolHeader = line.find(kAnswerToolMarker) != std::string_view::npos;

    if (value == -1) {
        if (line.find(kAnswerNameMarker) != std::string_view::npos) {
            answer.status = ResponseStatus::QNL_ANS;
            answer.modelName = ModelNameFrom(line);
        } else {
            answer.status = ResponseStatus::QNL_ERR_FORMAT;
            answer.modelName = std::string();
        }
        return answer;
    }

    const std::string_view connection = Take(rest, 0, 4);
    const std::optional<std::uint16_t> code = ParseHex4(Take(rest, 4, 4));

    if (value == 8) {
        answer.status = ResponseStatus::QNL_ACK;
        if (connection != connectNo) {
            answer.status = ResponseStatus::QNL_ERR_CONNECT_NO;
        }
        if (rest.size() < 9 || rest[8] != kAnswerEnd) {
            answer.status = ResponseStatus::QNL_ERR_SIZE;
        }
        if (!toolHeader) {
            answer.status = ResponseStatus::QNL_ERR_FORMAT;
        }
        if (answer.status == ResponseStatus::QNL_ACK) {
            if (!code) {
                answer.status = ResponseStatus::QNL_ERR_FORMAT;
            } else if (*code != 0) {
                answer.status = ResponseStatus::QNL_NACK;
                answer.nackCode = *code;
            } else {
                answer.nackCode = 0;
            }
        }
        return answer;
    }

    // A data answer always carries more than the 8 characters of connection and result code.
    if (value < 8) {
        answer.status = ResponseStatus::QNL_ERR_FORMAT;
        return answer;
    }
    const auto n = static_cast<std::size_t>(value);
    answer.status = ResponseStatus::QNL_RES;
    if (connection != connectNo) {
        answer.status = ResponseStatus::QNL_ERR_CONNECT_NO;
    }
    if (!code || *code != 0) {
        answer.status = ResponseStatus::QNL_ERR_FORMAT;
    }
    if (rest.size() <= n || rest[n] != kAnswerEnd) {
        answer.status = ResponseStatus::QNL_ERR_SIZE;
    }
    if (!toolHeader) {
        answer.status = ResponseStatus::QNL_ERR_FORMAT;
    }
    if (answer.status == ResponseStatus::QNL_RES) {
        std::optional<Bytes> frame = Base64Decode(rest.substr(8, n - 8));
        if (!frame) {
            answer.status = ResponseStatus::QNL_ERR_FORMAT;
        } else {
            answer.frame = std::move(*frame);
        }
    }
    return answer;
}

AnswerScan ScanAnswer(std::string_view buffered, std::string_view connectNo) {
    AnswerScan scan;
    if (buffered.empty()) {
        return scan;
    }
    const std::size_t lf = buffered.find('\n');
    if (lf == std::string_view::npos) {
        if (buffered.size() > kMaxAnswerLine) {
            scan.state = ScanState::Garbage;
            scan.consumed = buffered.size();
            scan.answer.status = ResponseStatus::QNL_ERR_FORMAT;
        }
        return scan;
    }
    const std::size_t lineEnd = lf + 1;
    const long long value = LineValue(buffered.substr(0, lineEnd));

    if (value == -1) {
        scan.answer = ClassifyAnswer(buffered.substr(0, lineEnd), connectNo);
        scan.state = scan.answer.status == ResponseStatus::QNL_ANS ? ScanState::Complete
                                                                   : ScanState::Garbage;
        scan.consumed = lineEnd;
        return scan;
    }
    if (value != 8 && (value < 8 || static_cast<std::size_t>(value) - 8 > kMaxAnswerDataChars)) {
        scan.state = ScanState::Garbage;
        scan.consumed = lineEnd;
        scan.answer.status = ResponseStatus::QNL_ERR_FORMAT;
        return scan;
    }
    // Connection number, result code, data, then the form feed.
    const std::size_t need = lineEnd + static_cast<std::size_t>(value) + 1;
    if (buffered.size() < need) {
        return scan;
    }
    scan.answer = ClassifyAnswer(buffered.substr(0, need), connectNo);
    if (buffered[need - 1] == kAnswerEnd) {
        scan.state = ScanState::Complete;
        scan.consumed = need;
        return scan;
    }
    // The length was wrong: drop up to the next answer that starts inside the declared extent,
    // so one broken answer does not swallow the one after it.
    scan.state = ScanState::Garbage;
    const std::size_t next = buffered.substr(0, need).find("@QNL", lineEnd);
    scan.consumed = next == std::string_view::npos ? need : next;
    return scan;
}

void AnswerState::Apply(const AnswerClassification& answer) {
    status = answer.status;
    if (answer.nackCode) {
        nackCode = *answer.nackCode;
    }
    if (answer.modelName) {
        modelName = *answer.modelName;
    }
    if (answer.frame) {
        frameBuffer = *answer.frame;
    }
}

}  // namespace dialvane
