#pragma once

#include <string>

namespace dialvane {

// Messages with one wording for products with the one-touch buttons A, B, C and another for
// products with quick dials.
enum class ModeMessage {
    StrictNumberRange,
    StrictSpeedTarget,
    StrictGroupTarget,
    StrictDuplicate,
    TargetInUse,
    FileTooManyFields,
    FileBadBinding,
    FileDuplicate,
    FileNotRegistered,
    SavePromptSection
};

void SelectModeMessages(bool oneTouch);

// While it lives, this thread's mode-dependent messages use this wording whatever the
// process-wide choice is: runs side by side with MFPs of both kinds each keep their own.
class ScopedModeMessages {
  public:
    explicit ScopedModeMessages(bool oneTouch);
    ~ScopedModeMessages();
    ScopedModeMessages(const ScopedModeMessages&) = delete;
    ScopedModeMessages& operator=(const ScopedModeMessages&) = delete;

  private:
    int previous_;
};
bool OneTouchMessages();
// Through the message table, so language files apply.
const std::string& ModeText(ModeMessage which);

}  // namespace dialvane
