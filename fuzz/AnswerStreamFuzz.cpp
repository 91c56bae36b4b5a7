// Arbitrary bytes in arbitrary chunks through the stream framing of answers, the classifier
// and the frame parser, as the receive cycle meets them; what is left when the bytes stop is
// classified as a wait that runs out would classify it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "protocol/Answer.h"
#include "protocol/Frame.h"

using namespace dialvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string connectNo = input.ConsumeBool() ? "0001" : input.ConsumeBytesAsString(4);
    AnswerState state;
    std::string pending;
    while (input.remaining_bytes() > 0) {
        const std::size_t chunk = input.ConsumeIntegralInRange<std::size_t>(1, 4096);
        pending += input.ConsumeBytesAsString(chunk);
        while (!pending.empty()) {
            AnswerScan scan = ScanAnswer(pending, connectNo);
            if (scan.state == ScanState::Incomplete) {
                break;
            }
            if (scan.consumed == 0 || scan.consumed > pending.size()) {
                fuzz::Broken("a finished scan must take between one byte and all of them");
            }
            pending.erase(0, scan.consumed);
            if (scan.state == ScanState::Complete &&
                scan.answer.status == ResponseStatus::QNL_RES) {
                if (!scan.answer.frame) {
                    fuzz::Broken("a data answer without its frame");
                }
                const FrameParseResult parsed = ParseFrame(*scan.answer.frame);
                if (parsed.ok() && !parsed.frame.PositionDefined()) {
                    fuzz::Broken("a frame with an undefined position was parsed");
                }
            }
            state.Apply(scan.answer);
        }
    }
    const AnswerClassification rest = ClassifyAnswer(pending, connectNo);
    if (!pending.empty() && rest.status == ResponseStatus::QNL_NONE) {
        fuzz::Broken("buffered bytes classified as nothing");
    }
    return 0;
}
