#include "TerminalPrompt.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr int kAttempts = 3;

const std::string& Hint(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::OkCancel:
            return Text(Msg::TerminalHintOkCancel);
        case PromptButtons::YesNo:
            return Text(Msg::TerminalHintYesNo);
        case PromptButtons::YesNoCancel:
            return Text(Msg::TerminalHintYesNoCancel);
        case PromptButtons::RetryCancel:
            return Text(Msg::TerminalHintRetryCancel);
        case PromptButtons::Ok:
            break;
    }
    return Text(Msg::TerminalHintOk);
}

std::optional<PromptAnswer> ParseAnswer(const std::string& line) {
    std::string word = ToUpperAscii(Trim(line));
    if (word == "Y" || word == "YES") {
        return PromptAnswer::Yes;
    }
    if (word == "N" || word == "NO") {
        return PromptAnswer::No;
    }
    if (word == "C" || word == "CANCEL") {
        return PromptAnswer::Cancel;
    }
    if (word == "O" || word == "OK") {
        return PromptAnswer::Ok;
    }
    if (word == "R" || word == "RETRY") {
        return PromptAnswer::Retry;
    }
    return std::nullopt;
}

}  // namespace

std::string TerminalText(const std::string& text) {
    return ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\r", "\n");
}

TerminalPrompt::TerminalPrompt(std::istream& in, std::ostream& out, bool interactive)
    : in_(in), out_(out), interactive_(interactive) {}

std::shared_ptr<TerminalPrompt> TerminalPrompt::ForStandardStreams() {
    bool interactive = ::isatty(STDIN_FILENO) != 0 && ::isatty(STDERR_FILENO) != 0;
    return std::make_shared<TerminalPrompt>(std::cin, std::cerr, interactive);
}

PromptAnswer TerminalPrompt::Ask(const PromptRequest& request) {
    std::lock_guard lock(mutex_);
    PromptAnswer fallback = EffectiveDefault(request);
    out_ << TerminalText(request.text) << '\n';
    if (!interactive_ || request.buttons == PromptButtons::Ok) {
        out_.flush();
        return fallback;
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        out_ << Hint(request.buttons) << ' ' << std::flush;
        std::string line;
        if (!std::getline(in_, line)) {
            return fallback;
        }
        if (Trim(line).empty()) {
            return fallback;
        }
        std::optional<PromptAnswer> answer = ParseAnswer(line);
        if (answer && AnswerFitsButtons(*answer, request.buttons)) {
            return *answer;
        }
    }
    return fallback;
}

}  // namespace dialvane
