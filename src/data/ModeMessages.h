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
bool OneTouchMessages();
// Through the message table, so language files apply.
const std::string& ModeText(ModeMessage which);

}  // namespace dialvane
