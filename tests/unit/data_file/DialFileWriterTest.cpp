#include "DialFileTestSupport.h"
#include "data/DialFileLoader.h"
#include "data/DialFileWriter.h"
#include "support/FullDialList.h"

namespace dialvane {
namespace {

using testing::DialFileTest;

TEST_F(DialFileTest, SavedFullModelLoadsBackUnchanged) {
    // Every slot used, with names that need quoting or keep their inner blanks, and empty names.
    std::string list = testing::FullDialList();
    for (const auto& [from, to] : {std::pair{"Name 1,", "\"Smith, John\","},
                                   {"Name 2,", "\"say \"\"hi\"\"\","},
                                   {"Name 3,", ","},
                                   {"Name 4,", "Head  Office,"},
                                   {"Group 3,", ","},
                                   {"N,Head Office Sender01", "N,\"Sales, Tokyo\""}}) {
        list.replace(list.find(from), std::string_view(from).size(), to);
    }
    DialModel saved;
    ASSERT_EQ(LoadDialText(list, saved, *quick_), std::vector<std::string>{});
    const std::string path = dir_.File("full.csv");
    ASSERT_TRUE(SaveDialFile(path, saved, *quick_, nullptr));
    DialModel loaded;
    const LoadResult result = LoadDialFile(path, loaded, *quick_);
    EXPECT_TRUE(result.errorLines.empty()) << result.errorLines.front();
    EXPECT_EQ(testing::Describe(saved), testing::Describe(loaded));
    EXPECT_EQ(loaded.speedDials[2].name, "say \"hi\"");
}

TEST_F(DialFileTest, SaveWritesFileOrderWithCrLf) {
    DialModel model;
    model.speedDials[1] = {"S001", " Office ", " KW ", "03-555-123"};
    model.speedDials[3] = {"S003", "Smith, John", "", "1"};
    model.groups[5] = {5, "Sales", "", {{'S', 3}, {'S', 1}}};
    model.bindings[2] = "G05";
    const std::string path = dir_.File("out.csv");
    ASSERT_TRUE(SaveDialFile(path, model, *quick_, nullptr));
    EXPECT_EQ(dir_.Read("out.csv"),
              "S001,Office,03-555-123,KW\r\nS003,\"Smith, John\",1,\r\nG05,Sales,S003,S001\r\n"
              "W2,G05\r\nN,\r\n");

    // A product without keywords writes an empty keyword.
    ASSERT_TRUE(SaveDialFile(path, model, *testing::MakeProduct(dir_, "ONE"), nullptr));
    EXPECT_EQ(dir_.Read("out.csv").substr(0, 26), "S001,Office,03-555-123,\r\nS");
}

TEST_F(DialFileTest, FailedSaveKeepsFlagsAndOldFile) {
    DialModel model;
    model.speedDials[1] = {"S001", "A", "", "1"};
    model.modified.groups = model.modified.sender = true;
    const std::string missing = dir_.File("no-such-folder/out.csv");
    std::string error;
    EXPECT_FALSE(SaveDialFile(missing, model, *quick_, &error));
    EXPECT_EQ(error,
              "Cannot write to file.Confirm whether or not the file is open.\r\n(" + missing + ")");
    EXPECT_TRUE(model.modified.groups && model.modified.sender);

    // A character the file's code page cannot hold: nothing is written, the record is named.
    const std::string path = dir_.File("keep.csv");
    WriteFileAtomic(path, "old");
    model.speedDials[2] = {"S002", "Ω", "", "2"};
    EXPECT_FALSE(SaveDialFile(path, model, *quick_, &error));
    EXPECT_NE(error.find("S002"), std::string::npos) << error;
    model.speedDials[2].name = "line\nbreak";
    EXPECT_FALSE(SaveDialFile(path, model, *quick_, &error));
    EXPECT_EQ(dir_.Read("keep.csv"), "old");
    EXPECT_TRUE(model.modified.Any());

    model.speedDials[2].name = "Ok";
    EXPECT_TRUE(SaveDialFile(path, model, *quick_, &error));
    EXPECT_FALSE(model.modified.Any());
}

TEST_F(DialFileTest, JapaneseSaveWritesCp932) {
    DialModel model;
    model.speedDials[1] = {"S001", "東京 ｱｲ", "", "03"};
    const std::string path = dir_.File("jpn.csv");
    ASSERT_TRUE(SaveDialFile(path, model, *japanese_, nullptr));
    EXPECT_EQ(dir_.Read("jpn.csv"), "S001,\x93\x8c\x8b\x9e \xb1\xb2,03,\r\nN,\r\n");
    model.speedDials[1].name = "한";  // Hangul has no code in 932
    EXPECT_FALSE(SaveDialFile(path, model, *japanese_, nullptr));
}

}  // namespace
}  // namespace dialvane
