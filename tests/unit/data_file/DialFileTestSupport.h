#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "data/CharConv.h"
#include "data/DialModel.h"
#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "data/TextChecks.h"
#include "support/FileUtil.h"

namespace dialvane::testing {

// A folder of its own for every test, removed afterwards.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dialfile-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Profiles: "QUICK" 200 speed dials, 12 quick dials, keywords; "ONE" 60 speed dials, the three
// one-touch buttons, no keywords.
inline std::unique_ptr<TProductInfo> MakeProduct(const TempDir& dir, const std::string& model) {
    const std::string ini = dir.File("profiles.ini");
    WriteFileAtomic(ini,
                    "[QUICK]\nFaxType=1\n[ONE]\nFaxType=2\n"
                    "[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
                    "[FaxType2]\nSpeedDial=60\nQuickDial=3\nSpeedDialKeyword=0\n");
    auto product = std::make_unique<TProductInfo>(ini);
    product->Load(model);
    return product;
}

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

// What the model holds, including what loading derives (masks, record texts), as one text.
inline std::string Describe(const DialModel& model) {
    std::string text;
    for (const SpeedDialEntry& e : model.speedDials) {
        text +=
            e.key + "|" + e.name + "|" + e.keyword + "|" + e.faxNumber + "|" + e.groupMask + "\n";
    }
    for (const GroupDialEntry& g : model.groups) {
        text += std::to_string(g.number) + "|" + g.name + "|" + g.recordText;
        for (const GroupMember& m : g.members) {
            text += "|" + std::to_string(m.number);
        }
        text += "\n";
    }
    for (const std::string& binding : model.bindings) {
        text += binding + "\n";
    }
    return text + model.senderName;
}

}  // namespace dialvane::testing
