#include <gtest/gtest.h>

#include "support/Progress.h"

namespace dialvane {
namespace {

TEST(SequenceBar, AStepNeverMovesPastItsEndOrTheBarsEnd) {
    SequenceBar write;
    write.SetDirection(1);
    write.Apply('I', 0, 0, 1);
    write.Apply('D', 7, 1, 1);
    const long long stepEnd = write.Position();
    write.Apply('D', 7, 5, 0);  // no total and too much done: the step's end at most
    EXPECT_EQ(write.Position(), stepEnd);
    write.Apply('D', 20, 0, 1);  // a verifying write runs past the table
    EXPECT_EQ(write.Position(), write.Maximum());
}

}  // namespace
}  // namespace dialvane
