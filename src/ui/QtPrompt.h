#pragma once

#include <QPointer>
#include <QWidget>

#include "support/Prompt.h"

namespace dialvane {

// The desktop program's questions: a message box with the request's title, buttons, icon and
// default button, over `parent` (or the active window). Asked from another thread, the box is
// shown on the main thread while the asking thread waits for the answer.
class QtPrompt : public IPrompt {
  public:
    explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    PromptAnswer Ask(const PromptRequest& request) override;

  private:
    QPointer<QWidget> parent_;
};

// The general error box: the text with "." appended when its last character sorts after ".",
// titled with the application title, OK and the stop icon.
void ShowGeneralError(IPrompt& prompt, const std::string& text);
std::string GeneralErrorText(const std::string& text);

}  // namespace dialvane
