#pragma once

#include <memory>
#include <string>

#include "data/ProductInfo.h"
#include "support/TempDir.h"

namespace dialvane::testing {

// Two fax profiles: "QUICK" 200 speed dials, 12 quick dials, keywords; "ONE" 60 speed dials,
// the three one-touch buttons, no keywords. The text rules are English unless given.
inline std::unique_ptr<TProductInfo> MakeProduct(const TempDir& dir, const std::string& model,
                                                 TextRules rules = {}) {
    const std::string ini =
        dir.Write("profiles.ini",
                  "[QUICK]\nFaxType=1\n[ONE]\nFaxType=2\n"
                  "[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
                  "[FaxType2]\nSpeedDial=60\nQuickDial=3\nSpeedDialKeyword=0\n");
    auto product = std::make_unique<TProductInfo>(ini, rules);
    product->Load(model);
    return product;
}

}  // namespace dialvane::testing
