#include "data/ModeMessages.h"

#include "support/Messages.h"

namespace dialvane {
namespace {

struct Wording {
    Msg oneTouch;
    Msg quick;
};

// Indexed by ModeMessage.
constexpr Wording kWordings[] = {
    {Msg::OneTouchStrictNumberRange, Msg::QuickStrictNumberRange},
    {Msg::OneTouchStrictSpeedTarget, Msg::QuickStrictSpeedTarget},
    {Msg::OneTouchStrictGroupTarget, Msg::QuickStrictGroupTarget},
    {Msg::OneTouchStrictDuplicate, Msg::QuickStrictDuplicate},
    {Msg::OneTouchTargetInUse, Msg::QuickTargetInUse},
    {Msg::OneTouchFileTooManyFields, Msg::QuickFileTooManyFields},
    {Msg::OneTouchFileBadBinding, Msg::QuickFileBadBinding},
    {Msg::OneTouchFileDuplicate, Msg::QuickFileDuplicate},
    {Msg::OneTouchFileNotRegistered, Msg::QuickFileNotRegistered},
    {Msg::OneTouchSavePromptSection, Msg::QuickSavePromptSection},
};

}  // namespace

const std::string& ModeText(ModeMessage which, bool oneTouch) {
    const Wording& wording = kWordings[static_cast<size_t>(which)];
    return Text(oneTouch ? wording.oneTouch : wording.quick);
}

}  // namespace dialvane
