#include <gtest/gtest.h>

#include <string>

#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "support/Format.h"
#include "support/GlobalScopes.h"
#include "support/Messages.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

class ProductInfoTest : public ::testing::Test {
  protected:
    testing::TempDir dir_;
    std::string path_ = dir_.File("Dialvane.ini");
    void WriteSettings(const std::string& text) { dir_.Write("Dialvane.ini", text); }
};

// The profile in one line: speed dials, quick dials, one-touch, no keyword, library, receive
// timeout.
std::string Profile(const TProductInfo& info) {
    return Format("%d %d %d %d %d %d", info.SpeedDial(), info.QuickDial(), info.OneTouch(),
                  info.NoKeyword(), info.ZevizLibrary(), info.MVReceiveTimeout());
}
const std::string kDefaultProfile = "60 3 1 1 1 -1";

TEST_F(ProductInfoTest, MissingFileGivesDefaultsForEveryModel) {
    TProductInfo info(path_);
    EXPECT_EQ(info.ModelName(), "Unknown");
    EXPECT_EQ(Profile(info), kDefaultProfile);
    info.Load("DX-R7700");
    EXPECT_EQ(info.ModelName(), "DX-R7700");
    EXPECT_EQ(Profile(info), kDefaultProfile);
    EXPECT_EQ(info.LibraryChoice("DX-R7700"), std::make_pair(false, true));
    EXPECT_EQ(info.ReceiveTimeout("DX-R7700"), -1);
}

TEST_F(ProductInfoTest, ModelTakesItsProfile) {
    WriteSettings(
        "[MAINFORM]\nLANG=ENG\n"
        "[DX-R7700]\nFaxType=1\n"
        "[dx-r9900 pro]\nfaxtype=$2\n"
        "[NoProfile]\nFaxType=5\n"
        "[Broken]\nFaxType=two\n"
        "[FaxType0]\nSpeedDial=100\n"
        "[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\nZEVIZLibrary=2\n"
        "MVReceiveTimeout=0x1F4\n"
        "[FAXTYPE2]\nSPEEDDIAL=0x3C\nQuickDial=4\nSpeedDialKeyword=0\nZEVIZLibrary=3\n"
        "MVReceiveTimeout=abc\n");
    TProductInfo info(path_);
    EXPECT_EQ(info.SpeedDial(), 100);  // "Unknown" falls back to profile 0

    info.Load("DX-R7700");
    EXPECT_EQ(Profile(info), "200 12 0 0 2 500");
    EXPECT_EQ(info.LibraryChoice("DX-R7700"), std::make_pair(true, true));
    EXPECT_EQ(info.ReceiveTimeout("DX-R7700"), 500);

    // Section and key names ignore case; values take hexadecimal in both spellings.
    info.Load("DX-R9900 PRO");
    EXPECT_EQ(Profile(info), "60 4 0 1 3 -1");
    EXPECT_EQ(info.LibraryChoice("DX-R9900 PRO"), std::make_pair(false, false));

    // A profile number without its section, or a profile number that is not a number.
    info.Load("NoProfile");
    EXPECT_EQ(Profile(info), kDefaultProfile);
    info.Load("Broken");
    EXPECT_EQ(info.SpeedDial(), 100);

    // The choice reads the named model, not the loaded one.
    EXPECT_EQ(info.LibraryChoice("DX-R7700"), std::make_pair(true, true));
    EXPECT_EQ(info.ModelName(), "Broken");
}

TEST(ModeMessagesTest, LanguageFileTextsApply) {
    const testing::MessageTextsScope restored;
    SetMessageText(Msg::QuickStrictDuplicate, std::string("replaced"));
    EXPECT_EQ(ModeText(ModeMessage::StrictDuplicate, false), "replaced");
    EXPECT_EQ(ModeText(ModeMessage::StrictDuplicate, true),
              "There is duplicate One Touch Button dial information registered.");
}

}  // namespace
}  // namespace dialvane
