#pragma once

#include <iosfwd>
#include <memory>
#include <mutex>

#include "support/Prompt.h"

namespace dialvane {

// The command line's prompt: prints the text (line breaks of the text become lines) and, when
// interactive, reads the answer from `in`; otherwise, or at the end of input, the default
// button answers.
class TerminalPrompt : public IPrompt {
  public:
    TerminalPrompt(std::istream& in, std::ostream& out, bool interactive);

    // Messages on standard error, where they stay apart from a command's results; interactive
    // when standard input and standard error are terminals.
    static std::shared_ptr<TerminalPrompt> ForStandardStreams();

    PromptAnswer Ask(const PromptRequest& request) override;

  private:
    std::istream& in_;
    std::ostream& out_;
    bool interactive_;
    std::mutex mutex_;
};

// The text with CR LF and lone CR turned into line feeds.
std::string TerminalText(const std::string& text);

}  // namespace dialvane
