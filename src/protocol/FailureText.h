#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/Answer.h"
#include "support/Messages.h"

namespace dialvane {

// NACK code that makes occupy start and frame transfers retry.
inline constexpr std::uint16_t kNackBusy = 0xFC;
// NACK code that the NOP probe accepts as success.
inline constexpr std::uint16_t kNackFaxAccess = 0xFD;

// The message of a NACK code the device documents (0xF9 .. 0xFF); nullopt for any other code.
std::optional<Msg> NackMessage(std::uint16_t code);

// Whether the code is one of the documented ones (what sets "NACK seen").
inline bool IsKnownNackCode(std::uint16_t code) {
    return NackMessage(code).has_value();
}

// The text the user sees for a failed command, in the current language. For a NACK with an
// undocumented code the text names the code. Empty for QNL_NONE.
std::string FailureText(ResponseStatus status, std::uint16_t nackCode);

// The diagnostic log line of a failure.
std::string FailureLogLine(ResponseStatus status, const std::string& text);

}  // namespace dialvane
