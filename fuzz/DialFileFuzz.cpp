// A user's dial list file through the editor loader, the strict gate and the device encoding,
// under both code pages and name rules, for a one-touch and a quick-dial product. A file the
// loader and the gate accept must encode.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "data/CharConv.h"
#include "data/DialFileLoader.h"
#include "data/RecordTable.h"
#include "data/TextChecks.h"
#include "protocol/DeviceRecords.h"

using namespace dialvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::uint8_t options = data[0];
    const bool japanese = (options & 1) != 0;
    const TProductInfo& product = fuzz::Product((options & 2) != 0, japanese);
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);

    DialModel model;
    const std::vector<std::string> errors = LoadDialText(file, model, product);
    RecordTable table(product);
    try {
        table.BuildFromModel(model);
    } catch (const ValidationError&) {
        return 0;
    }
    try {
        CheckEncodes(table, product);
    } catch (const DeviceEncodingError&) {
        fuzz::Broken("the gate passed a record the encoder refuses");
    } catch (const ValidationError&) {
        // Members of unregistered speed dials: the loader reports them too.
        if (errors.empty()) {
            fuzz::Broken("the loader passed a group the member check refuses");
        }
    }
    return 0;
}
