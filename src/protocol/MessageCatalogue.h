#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/Frame.h"

namespace dialvane {

// Message identifiers the dial list exchange uses.
inline constexpr std::uint8_t kMidSystemParamRead = 0x21;
inline constexpr std::uint8_t kMidFaxCapability = 0x1F;  // has no catalogue name
inline constexpr std::uint8_t kMidSenderInfo = 0x60;
inline constexpr std::uint8_t kMidSenderRegister = 0x61;
inline constexpr std::uint8_t kMidSenderCancel = 0x62;
inline constexpr std::uint8_t kMidBindingInfo = 0x76;
inline constexpr std::uint8_t kMidBindingRegister = 0x77;
inline constexpr std::uint8_t kMidBindingCancel = 0x78;
inline constexpr std::uint8_t kMidGroupInfo = 0x79;
inline constexpr std::uint8_t kMidGroupRegister = 0x7A;
inline constexpr std::uint8_t kMidGroupCancel = 0x7B;
inline constexpr std::uint8_t kMidSpeedDialInfo = 0x7C;
inline constexpr std::uint8_t kMidSpeedDialRegister = 0x7D;
inline constexpr std::uint8_t kMidSpeedDialCancel = 0x7E;

// Parameter carrying a stop cause in an answer.
inline constexpr std::uint8_t kPidStopCause = 0x0F;

inline constexpr std::size_t kCatalogueSize = 53;

// Display name of a message (in the current language); empty for a MID not in the catalogue.
std::string MessageName(std::uint8_t mid);

// Whether an incoming frame of this job type (JTYPE & 0x0F) and MID is accepted.
bool IsReceivable(std::uint8_t jobType, std::uint8_t mid);

// True for the MIDs whose request frame is built in rather than filled from the dial list.
bool HasBuiltInRequest(std::uint8_t mid);

// The single request frame (JTYPE 0xC0) of an information or system request; the sender flag
// selects the variant of 0x60. nullopt for a MID without a built-in request.
std::optional<FrameRecord> BuiltInRequest(std::uint8_t mid, bool senderFlag = false);

}  // namespace dialvane
