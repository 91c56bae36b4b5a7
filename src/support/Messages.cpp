#include "support/Messages.h"

#include <array>
#include <mutex>

namespace dialvane {
namespace {

constexpr size_t kCount = static_cast<size_t>(Msg::Count_);

constexpr std::array<const char*, kCount> kEnglish = {
#define DIALVANE_MSG(id, text) text,
#include "support/messages/All.def"
#undef DIALVANE_MSG
};

constexpr std::array<std::string_view, kCount> kNames = {
#define DIALVANE_MSG(id, text) #id,
#include "support/messages/All.def"
#undef DIALVANE_MSG
};

struct Table {
    std::array<std::string, kCount> current;
    Table() { Reset(); }
    void Reset() {
        for (size_t i = 0; i < kCount; ++i) {
            current[i] = kEnglish[i];
        }
    }
};

// Texts are replaced once at start-up, before any thread but the main one runs, and read
// afterwards; the mutex only guards the replacement itself.
Table& Texts() {
    static Table table;
    return table;
}
std::mutex& ReplaceMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

const std::string& Text(Msg id) {
    return Texts().current[static_cast<size_t>(id)];
}

const char* EnglishText(Msg id) {
    return kEnglish[static_cast<size_t>(id)];
}

std::string_view MsgName(Msg id) {
    return kNames[static_cast<size_t>(id)];
}

std::optional<Msg> FindMsg(std::string_view name) {
    for (size_t i = 0; i < kCount; ++i) {
        if (kNames[i] == name) {
            return static_cast<Msg>(i);
        }
    }
    return std::nullopt;
}

void SetMessageText(Msg id, std::optional<std::string> text) {
    std::lock_guard lock(ReplaceMutex());
    auto index = static_cast<size_t>(id);
    Texts().current[index] = text ? std::move(*text) : std::string(kEnglish[index]);
}

void ResetMessageTexts() {
    std::lock_guard lock(ReplaceMutex());
    Texts().Reset();
}

}  // namespace dialvane
