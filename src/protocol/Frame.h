#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace dialvane {

using Bytes = std::vector<std::uint8_t>;

// Frame position, the upper two bits of JTYPE.
inline constexpr std::uint8_t kFrameOnly = 0xC0;    // first and last frame, LEN present
inline constexpr std::uint8_t kFrameFirst = 0x80;   // first of several, LEN present
inline constexpr std::uint8_t kFrameMiddle = 0x00;  // no LEN field
inline constexpr std::uint8_t kFrameLast = 0x40;    // no LEN field
inline constexpr std::uint8_t kFramePositionMask = 0xF0;
inline constexpr std::uint8_t kJobTypeMask = 0x0F;

// Frames built from dial list data never grow beyond this F_LEN.
inline constexpr std::size_t kMaxBuiltFrameLength = 223;
// Parameters of a received frame beyond this count are ignored.
inline constexpr std::size_t kMaxParamsPerFrame = 401;

struct FrameParam {
    std::uint8_t pid = 0;
    std::uint8_t size = 0;
    Bytes value;  // `size` bytes; a shorter value is sent zero-filled

    static FrameParam Make(std::uint8_t pid, Bytes value);
    bool operator==(const FrameParam&) const = default;
};

struct FrameRecord {
    std::uint8_t jtype = kFrameOnly;
    std::uint8_t mid = 0;
    std::uint16_t fLen = 0;
    std::uint16_t len = 0;  // for a frame without LEN field: its F_LEN
    std::vector<FrameParam> params;

    std::uint8_t Position() const { return jtype & kFramePositionMask; }
    std::uint8_t JobType() const { return jtype & kJobTypeMask; }
    bool HasLenField() const { return Position() == kFrameOnly || Position() == kFrameFirst; }
    bool PositionDefined() const {
        return HasLenField() || Position() == kFrameMiddle || Position() == kFrameLast;
    }
    bool operator==(const FrameRecord&) const = default;
};

// Bytes on the wire: F_LEN + 4 bytes. Values of some PIDs change byte order on the way out.
// A parameter list longer than F_LEN allows is cut where F_LEN ends.
Bytes SerializeFrame(const FrameRecord& frame);

enum class FrameParseError {
    None,
    TooShort,       // fewer than the 4 header bytes, or F_LEN cannot hold the LEN field
    BadPosition,    // JTYPE bits 7-4 are none of the four frame positions
    LengthPastEnd,  // F_LEN points past the received bytes
    ParamPastEnd,   // a parameter runs past F_LEN or past the received bytes
};

struct FrameParseResult {
    FrameParseError error = FrameParseError::None;
    FrameRecord frame;
    bool ok() const { return error == FrameParseError::None; }
};

// Parses a received (decoded) frame as it arrived, without byte-order conversion. Trailing bytes
// after F_LEN (Base64 padding) are ignored. Never reads outside `bytes`.
FrameParseResult ParseFrame(std::span<const std::uint8_t> bytes);

// Completion count of a message that arrives in several frames: the first frame sets Total
// (its LEN) and Cur (its F_LEN), each further frame adds its F_LEN to Cur. Cur is wider than
// the 16-bit F_LEN so a long run of frames cannot wrap it round.
struct MessageCount {
    std::uint32_t total = 0;
    std::uint32_t cur = 0;

    void Start(const FrameRecord& first);
    void Add(const FrameRecord& continuation);
    // Cur less the LEN field counted in the first frame (0 when Cur is 0).
    std::uint32_t Received() const { return cur == 0 ? 0 : cur - 2; }
    bool Complete() const { return cur == 0 || total <= Received(); }
};

// Builds one outgoing message as a list of frames. Entries are appended as units (the
// parameters of one record), and a unit never splits across two frames.
class MessageFrames {
  public:
    explicit MessageFrames(std::uint8_t mid);

    // Appends the parameters as one unit; returns its size e (every PID, SIZE and value byte).
    std::size_t AppendUnit(const std::vector<FrameParam>& unit);

    std::uint8_t Mid() const { return mid_; }
    // The first frame (0xC0 or 0x80) followed by its continuation frames (0x00 ..., 0x40).
    const std::vector<FrameRecord>& Frames() const { return frames_; }
    const FrameRecord& First() const { return frames_.front(); }
    bool Empty() const { return frames_.front().params.empty(); }

  private:
    std::uint8_t mid_;
    std::vector<FrameRecord> frames_;
};

// Size a parameter takes in a frame: PID, SIZE and its value.
inline std::size_t ParamWireSize(const FrameParam& param) {
    return 2 + static_cast<std::size_t>(param.size);
}

}  // namespace dialvane
