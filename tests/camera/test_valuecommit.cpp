// The changed-value send and the commit-or-roll-back rule against the simulated camera.
#include "camera/valuecommit.h"

#include <gtest/gtest.h>

#include "protocol/controlids.h"
#include "support/camerafixture.h"

namespace vela::test {
namespace {

using namespace ctl;

class ValueCommitTest : public CameraTest {
  protected:
    void SetUp() override {
        Connect();
        command.SaveDataValues();
    }
};

TEST_F(ValueCommitTest, AnsweredChangeIsKeptAsTheNewSnapshot) {
    command.SetDataValue(kGainLevel, 300);
    const CommitResult result = CommitOrRollBack(command, kGainLevel);
    EXPECT_TRUE(result.committed);
    EXPECT_EQ(result.value, 300);
    EXPECT_EQ(command.GetSavedDataValue(kGainLevel), 300);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA=300"}));
    EXPECT_TRUE(events.entries().empty());
}

TEST_F(ValueCommitTest, RefusedChangeReturnsOnlyItsRowToTheSavedValue) {
    const int savedGain = command.GetSavedDataValue(kGainLevel);
    const int savedMedian = command.GetSavedDataValue(kMedianFilter);
    camera->SetFailure(sim::FailureMode::RefuseWrites);
    command.SetDataValue(kMedianFilter, savedMedian == 1 ? 0 : 1);
    command.SetDataValue(kGainLevel, savedGain + 1);

    const CommitResult result = CommitOrRollBack(command, kGainLevel);
    EXPECT_FALSE(result.committed);
    EXPECT_EQ(result.value, savedGain);
    EXPECT_EQ(command.GetDataValue(kGainLevel), savedGain);
    // No snapshot was taken and the other row keeps its unsent change.
    EXPECT_EQ(command.GetSavedDataValue(kGainLevel), savedGain);
    EXPECT_NE(command.GetDataValue(kMedianFilter), savedMedian);
    // The send stops at the first refusal, in table order (GA before MF).
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA=" + std::to_string(savedGain + 1)}));
    EXPECT_FALSE(events.entries().empty());
}

TEST_F(ValueCommitTest, NothingChangedSendsNothing) {
    EXPECT_EQ(SendChangedValues(command), 1);
    EXPECT_TRUE(camera->ReceivedLines().empty());
}

}  // namespace
}  // namespace vela::test
