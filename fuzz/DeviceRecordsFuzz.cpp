// Information answers decoded into records: the parameters of one message built from the
// input, decoded into field lists and stored through the strict gate as a download does. A
// record the gate stored from the device must encode again for an upload.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "data/CharConv.h"
#include "data/RecordTable.h"
#include "data/TextChecks.h"
#include "protocol/DeviceRecords.h"
#include "protocol/MessageCatalogue.h"

using namespace dialvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool extended = input.ConsumeBool();
    const bool japanese = input.ConsumeBool();
    const TProductInfo& product = fuzz::Product(!extended, japanese);

    static constexpr std::array<std::uint8_t, 4> kInformation = {kMidSpeedDialInfo, kMidGroupInfo,
                                                                 kMidBindingInfo, kMidSenderInfo};
    std::vector<FrameRecord> messages;
    while (input.remaining_bytes() > 0 && messages.size() < 8) {
        FrameRecord message;
        message.mid = kInformation[input.ConsumeIntegralInRange<std::size_t>(0, 3)];
        const std::size_t params = input.ConsumeIntegralInRange<std::size_t>(0, 12);
        for (std::size_t i = 0; i < params && input.remaining_bytes() > 0; ++i) {
            FrameParam param;
            param.pid = input.ConsumeIntegral<std::uint8_t>();
            const std::string value =
                input.ConsumeBytesAsString(input.ConsumeIntegral<std::uint8_t>());
            param.value.assign(value.begin(), value.end());
            param.size = static_cast<std::uint8_t>(param.value.size());
            message.params.push_back(std::move(param));
        }
        (void)DecodeMessage(message, extended, product.Rules().codePage);
        messages.push_back(std::move(message));
    }

    RecordTable table(product);
    try {
        DecodeDownload(messages, extended, table);
    } catch (const ValidationError&) {
        // Stops the download; the records before it stay.
    }
    try {
        CheckEncodes(table, product);
    } catch (const DeviceEncodingError&) {
        fuzz::Broken("a record the gate stored from the device does not encode");
    } catch (const ValidationError&) {
        // A group naming a speed dial the device did not list.
    }
    return 0;
}
