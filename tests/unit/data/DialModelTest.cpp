#include <gtest/gtest.h>

#include "data/DialModel.h"
#include "data/RecordKey.h"

namespace dialvane {
namespace {

class DialModelTest : public ::testing::Test {
  protected:
    void AddSpeedDial(int n, const std::string& name) {
        model_.speedDials[n].key = FormatRecordKey('S', n);
        model_.speedDials[n].name = name;
        model_.speedDials[n].faxNumber = "0123";
    }
    void AddGroup(int g, std::initializer_list<int> members) {
        model_.groups[g].number = g;
        model_.groups[g].name = "Group";
        for (int m : members) {
            model_.groups[g].members.push_back({'S', m});
        }
        model_.groupDisplay[g].key = FormatRecordKey('G', g);
    }
    DialModel model_;
};

TEST_F(DialModelTest, RebuildMembershipsFromGroups) {
    AddSpeedDial(1, "Alpha");
    AddSpeedDial(2, "Beta");
    model_.speedDials[1].groupMask = "SSSSSSSSSSSSSSSSSSSS";  // stale
    AddGroup(3, {1, 2});
    AddGroup(5, {2});
    model_.RebuildMemberships();
    EXPECT_EQ(model_.speedDials[1].groupMask, "00S00000000000000000");
    EXPECT_EQ(model_.speedDials[2].groupMask, "00S0S000000000000000");
    // Out-of-range numbers are ignored rather than written past the mask.
    model_.SetMembership(2, 21);
    model_.SetMembership(201, 1);
    model_.SetMembership(2, 0);
    EXPECT_FALSE(model_.TestMembership(2, 0));
    EXPECT_EQ(model_.speedDials[2].groupMask, "00S0S000000000000000");
}

TEST_F(DialModelTest, RemoveMemberMovesLaterMembersUp) {
    AddSpeedDial(1, "Alpha");
    AddSpeedDial(2, "Beta");
    AddSpeedDial(3, "Gamma");
    AddGroup(4, {1, 2, 3});
    model_.RebuildMemberships();

    model_.RemoveMemberAt(4, 2);
    ASSERT_EQ(model_.groups[4].members.size(), 2u);
    EXPECT_EQ(model_.groups[4].members[1].number, 3);
    EXPECT_FALSE(model_.TestMembership(2, 4));
    EXPECT_TRUE(model_.TestMembership(3, 4));
    EXPECT_EQ(model_.groups[4].recordText, "Alpha,Gamma");

    model_.RemoveMember(4, 'S', 1);
    EXPECT_EQ(model_.groups[4].recordText, "Gamma");
    // Positions and members that are not there change nothing.
    model_.RemoveMemberAt(4, 5);
    model_.RemoveMemberAt(4, 0);
    model_.RemoveMember(4, 'S', 2);
    EXPECT_EQ(model_.groups[4].members.size(), 1u);
    EXPECT_FALSE(model_.modified.groups);
}

TEST_F(DialModelTest, DeletingAGroupOrItsLastMemberClearsMasksAndOnlyItsBindings) {
    for (int s = 1; s <= 3; ++s) {
        AddSpeedDial(s, "x");
    }
    AddGroup(5, {1, 2});
    AddGroup(15, {2, 3});
    model_.RebuildMemberships();
    model_.groupDisplay[5].mask = "SSSSSSSSSSSSSSSSSSSS";
    model_.bindings[1] = "G05";
    model_.bindings[4] = "G15";
    model_.bindings[12] = "G5";
    model_.bindings[6] = "S005";

    model_.DeleteGroup(5);
    EXPECT_EQ(model_.speedDials[2].groupMask, "00000000000000S00000");
    EXPECT_EQ(model_.speedDials[1].groupMask, std::string(20, '0'));
    EXPECT_TRUE(model_.groups[5].members.empty());
    EXPECT_EQ(model_.groupDisplay[5].key, "");
    EXPECT_EQ(model_.groupDisplay[5].mask, std::string(20, '0'));
    EXPECT_EQ(model_.bindings[1], "");
    EXPECT_EQ(model_.bindings[12], "");
    EXPECT_EQ(model_.bindings[4], "G15");
    EXPECT_EQ(model_.bindings[6], "S005");
    EXPECT_EQ(model_.groups[15].members.size(), 2u);
    EXPECT_FALSE(model_.modified.groups);

    model_.RemoveMember(15, 'S', 2);
    model_.RemoveMember(15, 'S', 3);
    EXPECT_TRUE(model_.modified.groups);
    EXPECT_TRUE(model_.groups[15].members.empty());
    EXPECT_EQ(model_.groupDisplay[15].key, "");
    EXPECT_FALSE(model_.TestMembership(3, 15));
    EXPECT_EQ(model_.bindings[4], "");
    EXPECT_EQ(model_.bindings[6], "S005");
}

}  // namespace
}  // namespace dialvane
