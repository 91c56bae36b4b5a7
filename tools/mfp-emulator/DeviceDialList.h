#pragma once

// The dial list as the device keeps it, and what the device does with one complete message:
// list records, cancel a kind, store registered records, report its parameters.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/Frame.h"

namespace dialvane::emu {

struct DeviceConfig {
    bool extended = true;    // keyword field and 25-byte group bitmap
    bool longSender = true;  // 42-byte sender field accepted
};

// Stop cause the device answers when it refuses a registration it cannot store.
inline constexpr std::uint8_t kCauseRefused = 0x01;
// Stop cause for a message the device does not know.
inline constexpr std::uint8_t kCauseUnknownMessage = 0xFF;

// Collects the frames of one written message (0xC0, or 0x80 {0x00} 0x40).
class MessageAssembler {
  public:
    struct Step {
        bool complete = false;
        std::string problem;  // the frame does not fit the message being collected
        std::uint8_t mid = 0;
        std::vector<FrameParam> params;  // complete: every parameter of the message in order
    };

    // `frame` has passed CheckWrittenFrame.
    Step Add(std::string_view frame);
    void Reset() { active_ = false; }
    bool Active() const { return active_; }

  private:
    bool active_ = false;
    std::uint8_t mid_ = 0;
    std::uint32_t total_ = 0;
    std::uint32_t received_ = 0;
    std::vector<FrameParam> params_;
};

struct HandleResult {
    std::vector<Bytes> answerFrames;  // serialised, in the order FRAME_READ hands them out
    std::string problem;              // the request looked wrong (recorded, still answered)
    bool cancelled = false;
    bool registered = false;
};

class DeviceDialList {
  public:
    // Kind letters S, G, W, N (sender: number 1). Unknown letters give an empty list.
    const std::map<int, Bytes>& Records(char kind) const;
    void Store(char kind, int number, Bytes value);
    void Clear();

    // Carries out one complete message and builds its answer. A stop cause makes the device
    // refuse the request: it answers with PID 0x0F and changes nothing.
    HandleResult Handle(std::uint8_t mid, const std::vector<FrameParam>& params,
                        const DeviceConfig& config, std::optional<std::uint8_t> stopCause);

    // The information message of a kind as one record holding every parameter, the way the
    // program has collected it after reading all frames.
    FrameRecord InformationMessage(std::uint8_t mid) const;

  private:
    std::map<int, Bytes>* Kind(char kind);
    std::string Register(std::uint8_t mid, const std::vector<FrameParam>& params,
                         const DeviceConfig& config);
    std::vector<std::vector<FrameParam>> ListUnits(std::uint8_t mid) const;

    std::array<std::map<int, Bytes>, 4> records_;
};

}  // namespace dialvane::emu
