#include <gmock/gmock.h>

#include "DialFileTestSupport.h"
#include "data/CapabilityUse.h"
#include "data/DialFileLoader.h"
#include "data/DownloadWriter.h"
#include "data/RecordTable.h"

namespace dialvane {
namespace {

using testing::DialFileTest;

class RecordTableTest : public DialFileTest {
  protected:
    // The validation text, or "stored" / "not stored".
    static std::string Store(RecordTable& table, std::vector<std::string> fields) {
        try {
            return table.StoreRecord(std::move(fields)) ? "stored" : "not stored";
        } catch (const ValidationError& e) {
            return e.what();
        }
    }
    std::string Store(std::vector<std::string> fields) { return Store(table_, std::move(fields)); }
    DialRecord Last() const { return table_.At(table_.Count()); }
    RecordTable table_{*quick_};
};

TEST_F(RecordTableTest, NormalisesAndShortensKeys) {
    EXPECT_EQ(Store({"S001", "Office", "", "03-555-123"}), "stored");
    EXPECT_EQ(Last(), (DialRecord{"S1", "Office", "", "03-555-123"}));
    EXPECT_EQ(Store({"S2", "  "}), "Enter speed dial information.S2");
    EXPECT_EQ(Store({"S2", "03", "x", "y", "ignored"}),
              "Speed dial number contains illegal characters.y");
    // Blanks and control characters around any field are trimmed before the checks and the
    // store; inside a field they are refused.
    EXPECT_EQ(Store({"S3", " 123 "}), "stored");
    EXPECT_EQ(Last(), (DialRecord{"S3", "", "123"}));
    EXPECT_EQ(Store({" S4\x04", "\x01Name", "\tKW\x7f", std::string("\t0123\x01\0", 7)}), "stored");
    EXPECT_EQ(Last(), (DialRecord{"S4", "Name", "KW\x7f", "0123"}));
    EXPECT_EQ(Store({"S5", "", "", "01\t23"}),
              "Speed dial number contains illegal characters.01\t23");
    EXPECT_EQ(Store({"G07", " Sales ", "S9", "S3", "S010", "S3"}), "stored");
    // A repeated member is kept once.
    EXPECT_EQ(Last(), (DialRecord{"G7", "Sales", "S3", "S9", "S10"}));
    EXPECT_EQ(Store({"W01", "G005", "extra"}), "stored");
    EXPECT_EQ(Last(), (DialRecord{"W01", "G5"}));
    EXPECT_EQ(Store({"N", " Head Office "}), "stored");
    EXPECT_EQ(Last(), (DialRecord{"N", "Head Office"}));
    // Records that are not stored and raise nothing.
    EXPECT_EQ(Store({}), "not stored");
    EXPECT_EQ(Store({" ", "x"}), "not stored");
    EXPECT_EQ(Store({"W2"}), "not stored");
    EXPECT_EQ(Store({"W2", " "}), "not stored");  // an unset button listed by the device
    EXPECT_EQ(table_.Count(), 6);
}

TEST_F(RecordTableTest, EveryValidationMessage) {
    const std::string long17 = "ABCDEFGHIJKLMNOPQ";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"S201", "a", "1"}, "Invalid speed dial number.S201"},
        {{"S1", "\xe2\x82\xac", "1"}, "Speed dial name contains illegal characters.€"},
        {{"S1", long17, "1"}, "Speed dial name is too long." + long17},
        {{"S1", "a", "é", "1"}, "Speed dial keyword contains illegal characters.é"},
        {{"S1", "a", "ABCDEFGHI", "1"}, "Speed dial keyword is too long.ABCDEFGHI"},
        {{"S1", "a", std::string(51, '1')},
         "Speed dial fax number is too long." + std::string(51, '1')},
        {{"G1",  "a",   "S1",  "S2",  "S3",  "S4",  "S5",  "S6",  "S7",  "S8",  "S9", "S10",
          "S11", "S12", "S13", "S14", "S15", "S16", "S17", "S18", "S19", "S20", "S21"},
         "Group dial information contains too many elements.G1"},
        {{"G1", "a"}, "Enter group dial information.G1"},
        {{"G21", "a", "S1"}, "Invalid group number.G21"},
        {{"G1", "€", "S1"}, "Group name contains illegal characters.€"},
        {{"G1", long17, "S1"}, "Group name is too long." + long17},
        {{"G1", "a", "S1", "G2"}, "Invalid speed dial number in group.G2"},
        {{"G1", "a", "S201"}, "Invalid speed dial number in group.S201"},
        {{"W13", "S1"}, "Invalid quick dial number.W13"},
        {{"W1", "S201"}, "Invalid speed dial number in quick dial.S201"},
        {{"W1", "G21"}, "Invalid group numbers in quick dial.G21"},
        {{"W1", "X1"}, "Invalid data number in One Touch Button.X1"},
        {{"W1", "S"}, "Invalid data number in One Touch Button.S"},
        {{"Nx", "a"}, "Invalid sender name.Nx"},
        {{"N", "€"}, "Sender name contains illegal characters.€"},
        {{"N", "ABCDEFGHIJKLMNOPQRSTU"}, "Sender name is too long.ABCDEFGHIJKLMNOPQRSTU"},
        {{"X1", "abc"}, "Invalid data in the following line:  X1"},
    };
    for (const auto& [fields, message] : cases) {
        EXPECT_EQ(Store(fields), message);
    }
    EXPECT_EQ(table_.Count(), 0);  // a refused record leaves the table as it was
    EXPECT_EQ(Store({"N", "ABCDEFGHIJKLMNOPQRST"}), "stored");
}

TEST_F(RecordTableTest, DuplicatesAndOneTouchWording) {
    EXPECT_EQ(Store({"S5", "a", "1"}), "stored");
    EXPECT_EQ(Store({"S5", "b", "2"}), "There is duplicate speed dial information registered.S5");
    EXPECT_EQ(Store({"G1", "a", "S5"}), "stored");
    EXPECT_EQ(Store({"G1", "b", "S5"}), "There is duplicate group dial information registered.G1");
    EXPECT_EQ(Store({"W1", "S5"}), "stored");
    EXPECT_EQ(Store({"W1", "G1"}), "There is duplicate quick dial information registered.W1");
    EXPECT_EQ(Store({"N", "Head Office"}), "stored");
    EXPECT_EQ(Store({"N"}), "stored");
    EXPECT_EQ(Store({"N", "Other"}), "There is duplicate sender information registered.N");

    auto oneTouch = testing::MakeProduct(dir_, "ONE");
    RecordTable table(*oneTouch);
    auto store = [&](std::vector<std::string> f) { return Store(table, std::move(f)); };
    EXPECT_EQ(store({"S60", "a", "KEY", "1"}), "stored");  // no keywords: passes unchecked
    EXPECT_EQ(store({"S61", "a", "1"}), "Invalid speed dial number.S61");
    EXPECT_EQ(store({"W3", "S60"}), "stored");
    EXPECT_EQ(store({"W3", "S60"}),
              "There is duplicate One Touch Button dial information registered.W3");
    EXPECT_EQ(store({"W4", "S1"}), "Invalid One Touch Dial number.W4");
    EXPECT_EQ(store({"W1", "S61"}), "Invalid speed dial number in One Touch Dial.S61");
    EXPECT_EQ(store({"W1", "G21"}), "Invalid group dial number in One Touch Dial.G21");
}

TEST_F(RecordTableTest, FullTableDropsFurtherRecords) {
    for (int n = 1; n <= kMaxSpeedDials; ++n) {
        ASSERT_EQ(Store({"S" + std::to_string(n), "", "1"}), "stored");
    }
    for (int g = 1; g <= kMaxGroups; ++g) {
        ASSERT_EQ(Store({"G" + std::to_string(g), "", "S1"}), "stored");
    }
    for (int w = 1; w <= kMaxBindings; ++w) {
        ASSERT_EQ(Store({"W" + std::to_string(w), "S1"}), "stored");
    }
    EXPECT_EQ(Store({"N", "x"}), "stored");
    EXPECT_EQ(table_.Count(), kRecordTableSize);
    EXPECT_EQ(Store({"N"}), "not stored");
}

TEST_F(RecordTableTest, BuildFromModelWriteAndLoadBack) {
    DialModel model;
    ASSERT_TRUE(LoadDialFile(testing::Fixture("sample-dial-list.csv"), model, *quick_).ok());
    table_.BuildFromModel(model);
    EXPECT_EQ(table_.Count(), 19);
    EXPECT_EQ(table_.At(1), (DialRecord{"S1", "Head Office", "HQ", "03-5550-1000"}));
    EXPECT_NO_THROW(table_.CheckGroupMembers());
    EXPECT_EQ(FindCapabilityUse(table_).set,
              kUsesHighSpeedDials | kUsesHighQuickDials | kUsesKeywords);

    // The written form is pinned by the command line's export.
    const std::string path = dir_.File("download.csv");
    ASSERT_TRUE(WriteDownloadFile(path, table_, nullptr));
    DialModel reread;
    EXPECT_TRUE(LoadDialFile(path, reread, *quick_).ok());
    EXPECT_EQ(testing::Describe(model), testing::Describe(reread));
    EXPECT_FALSE(WriteDownloadFile("", table_, nullptr));

    // A deleted group is left out; a group row without loadable members is refused.
    model.DeleteGroup(5);
    model.bindings[4].clear();
    table_.BuildFromModel(model);
    EXPECT_EQ(table_.Count(), 17);
    model.groupDisplay[5].key = "G05";
    EXPECT_THROW(table_.BuildFromModel(model), ValidationError);

    // A failing record stops the build; the records before it stay.
    model.speedDials[4].faxNumber = "03(555)";
    EXPECT_THROW(table_.BuildFromModel(model), ValidationError);
    EXPECT_EQ(table_.Count(), 3);
}

TEST_F(RecordTableTest, CapabilityUseAndWarning) {
    Store({"S60", "a", "", "1"});
    Store({"W3", "S60"});
    Store({"S4", "a", "1"});  // three fields: no keyword
    EXPECT_FALSE(FindCapabilityUse(table_).any);
    Store({"S5", "a", "K", "1"});
    EXPECT_EQ(FindCapabilityUse(table_).set, kUsesKeywords);
    Store({"W4", "S60"});
    EXPECT_EQ(FindCapabilityUse(table_).set, kUsesKeywords | kUsesHighQuickDials);
    EXPECT_EQ(CapabilityWarning(kUsesKeywords | kUsesHighQuickDials),
              Msg::CapabilityQuickDialRange);
    Store({"S61", "a", "1"});
    EXPECT_EQ(CapabilityWarning(FindCapabilityUse(table_).set), Msg::CapabilitySpeedDialRange);
    EXPECT_EQ(CapabilityWarning(kUsesKeywords), Msg::CapabilityKeyword);
    EXPECT_EQ(CapabilityWarning(0), std::nullopt);
}

}  // namespace
}  // namespace dialvane
