// A user's dial list file through the editor loader, the strict gate and the device encoding,
// under both code pages and name rules, for a one-touch and a quick-dial product. A file the
// loader and the gate accept must encode.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "data/CharConv.h"
#include "data/DialFileLoader.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "data/TextChecks.h"
#include "protocol/DeviceRecords.h"

using namespace dialvane;

namespace {

TProductInfo& Product(bool oneTouch) {
    static const std::string ini =
        fuzz::ScratchFile("profiles.ini",
                          "[QUICK]\nFaxType=1\n[ONE]\nFaxType=2\n"
                          "[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
                          "[FaxType2]\nSpeedDial=60\nQuickDial=3\nSpeedDialKeyword=0\n");
    static std::unique_ptr<TProductInfo> products[2];
    std::unique_ptr<TProductInfo>& product = products[oneTouch ? 1 : 0];
    if (!product) {
        product = std::make_unique<TProductInfo>(ini);
    }
    // Loading also picks the wording of the mode messages.
    product->Load(oneTouch ? "ONE" : "QUICK");
    return *product;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::uint8_t options = data[0];
    const bool japanese = (options & 1) != 0;
    SetNarrowCodePage(japanese ? NarrowCodePage::Cp932 : NarrowCodePage::Windows1252);
    SetJapaneseNameRule(japanese);
    const TProductInfo& product = Product((options & 2) != 0);
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
