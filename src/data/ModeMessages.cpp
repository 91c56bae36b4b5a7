#include "data/ModeMessages.h"

#include <atomic>

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

// The worker thread reads the wording while the main thread may reload the capabilities.
std::atomic<bool> g_oneTouch{true};

}  // namespace

void SelectModeMessages(bool oneTouch) {
    g_oneTouch = oneTouch;
}

bool OneTouchMessages() {
    return g_oneTouch;
}

const std::string& ModeText(ModeMessage which) {
    const Wording& wording = kWordings[static_cast<size_t>(which)];
    return Text(g_oneTouch ? wording.oneTouch : wording.quick);
}

}  // namespace dialvane
