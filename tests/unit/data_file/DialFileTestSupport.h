#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "data/CharConv.h"
#include "data/DialModel.h"
#include "data/ProductInfo.h"
#include "data/TextChecks.h"
#include "support/DescribeModel.h"
#include "support/FileUtil.h"
#include "support/TestProducts.h"

namespace dialvane::testing {

// A quick-dial product in English and one in Japanese (code page 932, the Japanese name rule).
class DialFileTest : public ::testing::Test {
  protected:
    TempDir dir_;
    std::unique_ptr<TProductInfo> quick_ = MakeProduct(dir_, "QUICK");
    std::unique_ptr<TProductInfo> japanese_ =
        MakeProduct(dir_, "QUICK", TextRulesForLanguage("JPN"));
};

inline std::string Fixture(const std::string& name) {
    return std::string(DIALVANE_SOURCE_DIR) + "/samples/" + name;
}

}  // namespace dialvane::testing
