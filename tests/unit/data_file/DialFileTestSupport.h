#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "data/CharConv.h"
#include "data/DialModel.h"
#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "data/TextChecks.h"
#include "support/DescribeModel.h"
#include "support/FileUtil.h"
#include "support/TestProducts.h"

namespace dialvane::testing {

// Fixture that restores the start-up choices (code page, name rule, wording) a test changes.
class DialFileTest : public ::testing::Test {
  protected:
    void TearDown() override {
        SetNarrowCodePage(NarrowCodePage::Windows1252);
        SetJapaneseNameRule(false);
        SelectModeMessages(true);
    }
    static void UseJapanese() {
        SetNarrowCodePage(NarrowCodePage::Cp932);
        SetJapaneseNameRule(true);
    }
    TempDir dir_;
    std::unique_ptr<TProductInfo> quick_ = MakeProduct(dir_, "QUICK");
};

inline std::string ReadText(const std::string& path) {
    return ReadFileBytes(path).value_or("<unreadable>");
}

inline std::string Fixture(const std::string& name) {
    return std::string(DIALVANE_SOURCE_DIR) + "/samples/" + name;
}

}  // namespace dialvane::testing
