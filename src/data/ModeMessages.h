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

// Through the message table, so language files apply. The product's kind picks the wording:
// each caller passes the one of the product it works for.
const std::string& ModeText(ModeMessage which, bool oneTouch);

}  // namespace dialvane
