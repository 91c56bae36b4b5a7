#pragma once

#include <memory>
#include <string>

#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "support/TempDir.h"

namespace dialvane::testing {

// Two fax profiles: "QUICK" 200 speed dials, 12 quick dials, keywords; "ONE" 60 speed dials,
// the three one-touch buttons, no keywords. Loading a product also picks the message wording,
// so whoever loads one restores it with SelectModeMessages(true).
inline std::unique_ptr<TProductInfo> MakeProduct(const TempDir& dir, const std::string& model) {
    const std::string ini =
        dir.Write("profiles.ini",
                  "[QUICK]\nFaxType=1\n[ONE]\nFaxType=2\n"
                  "[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
                  "[FaxType2]\nSpeedDial=60\nQuickDial=3\nSpeedDialKeyword=0\n");
    auto product = std::make_unique<TProductInfo>(ini);
    product->Load(model);
    return product;
}

}  // namespace dialvane::testing
