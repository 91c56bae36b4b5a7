#pragma once

#include <string>

#include "data/DialModel.h"

namespace dialvane::testing {

// What the model holds, including what loading derives (masks, record texts), as one text.
inline std::string Describe(const DialModel& model) {
    std::string text;
    for (const SpeedDialEntry& e : model.speedDials) {
        text +=
            e.key + "|" + e.name + "|" + e.keyword + "|" + e.faxNumber + "|" + e.groupMask + "\n";
    }
    for (const GroupDialEntry& g : model.groups) {
        text += std::to_string(g.number) + "|" + g.name + "|" + g.recordText;
        for (const GroupMember& m : g.members) {
            text += "|" + std::to_string(m.number);
        }
        text += "\n";
    }
    for (const std::string& binding : model.bindings) {
        text += binding + "\n";
    }
    return text + model.senderName;
}

}  // namespace dialvane::testing
