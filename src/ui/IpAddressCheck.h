#pragma once

#include <optional>
#include <string>

#include "support/Messages.h"

namespace dialvane {

// The address as stored and used: four decimal numbers 0-255 joined by ".", rebuilt from the
// numbers so "192.168.010.1" is 192.168.10.1 and a trailing "." is dropped. Otherwise the
// message that says what is wrong: the number of parts, or a part that is not a decimal
// number in range ("0x10", "+5", "" and "256" are all refused).
struct IpAddressCheck {
    std::optional<std::string> address;
    Msg error = Msg::SetupIpPartValue;
};
IpAddressCheck CheckIpAddress(const std::string& text);

}  // namespace dialvane
