// The frame parser on a decoded answer frame, and the completion count fed with what it parsed.
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzSupport.h"
#include "protocol/Frame.h"

using namespace dialvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    MessageCount count;
    bool started = false;
    // The input may hold several frames one after another, each as long as its F_LEN says.
    std::size_t at = 0;
    while (at + 4 <= bytes.size()) {
        const std::span<const std::uint8_t> rest = bytes.subspan(at);
        const FrameParseResult parsed = ParseFrame(rest);
        if (!parsed.ok()) {
            break;
        }
        const FrameRecord& frame = parsed.frame;
        if (!frame.PositionDefined()) {
            fuzz::Broken("undefined frame position parsed");
        }
        std::size_t total = 0;
        for (const FrameParam& param : frame.params) {
            if (param.value.size() != param.size) {
                fuzz::Broken("a value differs from its SIZE");
            }
            total += ParamWireSize(param);
        }
        if (total + 4 > rest.size() || frame.params.size() > kMaxParamsPerFrame) {
            fuzz::Broken("parameters beyond the received bytes");
        }
        if (frame.HasLenField()) {
            count.Start(frame);
            started = true;
        } else if (started) {
            count.Add(frame);
        }
        (void)count.Complete();
        (void)SerializeFrame(frame);
        at += 4 + frame.fLen;
    }
    return 0;
}
