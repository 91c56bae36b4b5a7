#pragma once

#include <optional>

#include "data/RecordTable.h"
#include "support/Messages.h"

namespace dialvane {

// Dial list data that only models with the extended capabilities accept.
inline constexpr int kUsesHighSpeedDials = 1;  // a speed dial numbered 61..200
inline constexpr int kUsesHighQuickDials = 2;  // a binding numbered 4..12
inline constexpr int kUsesKeywords = 4;        // a speed dial with a search keyword

struct CapabilityUse {
    int set = 0;
    bool any = false;
};

CapabilityUse FindCapabilityUse(const RecordTable& table);

// The one warning shown when the MFP does not accept the extended data: the first that applies
// of speed dials, quick dials, keywords. nullopt for an empty set. The caption is
// Msg::CapabilityWarningCaption.
std::optional<Msg> CapabilityWarning(int set);

}  // namespace dialvane
