#include <gtest/gtest.h>

#include "contacts/DialListMerge.h"
#include "support/Messages.h"
#include "support/TestProducts.h"

namespace dialvane {
namespace {

const DiallingSettings kBerlin{"49", "0", "00", ""};

Contact Person(std::string name, std::vector<std::string> fax,
               std::vector<std::string> categories = {}) {
    return Contact{std::move(name), std::move(fax), std::move(categories), {}};
}

const TextRules kEnglish = TextRulesForLanguage("ENU");

class DialListImport : public ::testing::Test {
  protected:
    MergedDialList Import(const std::vector<Contact>& contacts,
                          const DialModel* current = nullptr) {
        return MergeImport(PlanImport(contacts, kBerlin, FileEncoding::Windows1252, kEnglish),
                           *product_, current);
    }
    testing::TempDir dir_;
    std::unique_ptr<TProductInfo> product_ = testing::MakeProduct(dir_, "QUICK");
};

TEST_F(DialListImport, NamesEveryNumberAndSkipsWhatTheListCannotHold) {
    const ImportPlan plan = PlanImport(
        {Person("zeta", {"030 9"}), Person("Hans-Peter Müller", {"030 1", "030 2", "030 2 ext 5"}),
         Person("ALPHA", {"030 3"}, {"B", "a"}), Person("alpha", {"030 4"}, {"a"}),
         Person("山田", {"030 5"}), Person("No Fax", {}), Person("", {"030 6"})},
        kBerlin, FileEncoding::Windows1252, kEnglish);
    std::vector<std::string> names;
    for (const ImportedDial& dial : plan.dials) {
        names.push_back(dial.name + "=" + dial.number);
    }
    // Name order folds case and keeps ties in source order; the second number of a contact is
    // cut so that its suffix still fits the 16 characters.
    EXPECT_EQ(names, (std::vector<std::string>{"ALPHA=0303", "alpha=0304", "Hans-Peter Mülle=0301",
                                               "Hans-Peter M (2)=0302", "zeta=0309"}));
    EXPECT_EQ(plan.groupNames, (std::vector<std::string>{"a", "B"}));
    EXPECT_EQ(plan.withoutFax, std::vector<std::string>{"No Fax"});
    ASSERT_EQ(plan.skipped.size(), 3u);
    EXPECT_EQ(plan.skipped[0].reason, Text(Msg::ImportNumberNotDialable, "030 2 ext 5", "ext"));
    EXPECT_EQ(plan.skipped[2].reason, Text(Msg::ImportSkipNoName));
    EXPECT_EQ(plan.contactsUsed, 4u);
    // With a UTF-8 file the Japanese name fits (the name rule allows kanji).
    EXPECT_EQ(
        PlanImport({Person("山田", {"1"})}, kBerlin, FileEncoding::Utf8, kEnglish).dials.size(),
        1u);
}

// Too many numbers for the speed dials is refused through the command line's import.
TEST_F(DialListImport, RefusesWhatDoesNotFitTheModel) {
    std::vector<Contact> categories, crowd;
    for (int i = 0; i < 21; ++i) {
        categories.push_back(
            Person("C", {std::to_string(i + 1)}, {"Group " + std::to_string(i + 10)}));
    }
    for (int i = 0; i < 21; ++i) {
        crowd.push_back(Person("M", {std::to_string(i + 1)}, {"All"}));
    }
    struct Case {
        std::vector<Contact>* contacts;
        std::string error;
    } cases[] = {
        {&categories, Text(Msg::ImportTooManyGroups, 20u, "Group 30")},
        {&crowd, Text(Msg::ImportGroupTooManyMembers, "All", 21u, 20u)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Import(*c.contacts).errors, std::vector<std::string>{c.error});
    }
}

TEST_F(DialListImport, KeepsGroupsAndBindingsOfTheCurrentList) {
    MergedDialList first = Import(
        {Person("Berg", {"1"}, {"Team"}), Person("Cole", {"2"}), Person("Dahl", {"3"}, {"Team"})});
    ASSERT_TRUE(first.errors.empty());
    DialModel current = first.model;
    current.groups[5] = GroupDialEntry{5, "Old", "", {{'S', 2}, {'S', 3}}};
    current.groups[6] = GroupDialEntry{6, "Gone", "", {{'S', 2}}};
    current.bindings[1] = "S002";
    current.bindings[2] = "S003";
    current.bindings[3] = "G01";
    current.senderName = "Head Office";

    // Which key each contact keeps or takes is shown through the command line's merge.
    const MergedDialList second = Import(
        {Person("Dahl", {"3"}, {"Team"}), Person("Berg", {"1"}), Person("Aaron", {"4"})}, &current);
    ASSERT_TRUE(second.errors.empty());
    const auto& groups = second.model.groups;
    EXPECT_EQ(groups[1].name, "Team");  // kept its number, now with Dahl alone
    ASSERT_EQ(groups[1].members.size(), 1u);
    EXPECT_EQ(groups[1].members[0].number, 3);
    EXPECT_EQ(groups[5].name, "Old");  // no category names it: stays with Dahl
    ASSERT_EQ(groups[5].members.size(), 1u);
    EXPECT_EQ(groups[5].members[0].number, 3);
    EXPECT_EQ(groups[6].number, 0);
    EXPECT_EQ(second.model.bindings[1], "");
    EXPECT_EQ(second.model.bindings[2], "S003");
    EXPECT_EQ(second.model.bindings[3], "G01");
    EXPECT_EQ(second.model.senderName, "Head Office");
    EXPECT_EQ(second.dropped,
              (std::vector<std::string>{Text(Msg::ImportSpeedDialDropped, "S002", "Cole", "2"),
                                        Text(Msg::ImportGroupDropped, "G06", "Gone"),
                                        Text(Msg::ImportBindingDropped, "W1", "S002")}));
}

}  // namespace
}  // namespace dialvane
