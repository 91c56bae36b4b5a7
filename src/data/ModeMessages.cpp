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

// -1: none; otherwise the thread's own wording (1 one-touch, 0 quick dial).
int& ThreadWording() {
    thread_local int wording = -1;
    return wording;
}

}  // namespace

void SelectModeMessages(bool oneTouch) {
    g_oneTouch = oneTouch;
}

bool OneTouchMessages() {
    const int own = ThreadWording();
    return own >= 0 ? own == 1 : g_oneTouch.load();
}

ScopedModeMessages::ScopedModeMessages(bool oneTouch) : previous_(ThreadWording()) {
    ThreadWording() = oneTouch ? 1 : 0;
}

ScopedModeMessages::~ScopedModeMessages() {
    ThreadWording() = previous_;
}

const std::string& ModeText(ModeMessage which) {
    const Wording& wording = kWordings[static_cast<size_t>(which)];
    return Text(OneTouchMessages() ? wording.oneTouch : wording.quick);
}

}  // namespace dialvane
