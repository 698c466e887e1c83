// The flash-area commands against the simulated camera: which command goes out for which
// area, what the camera keeps, and what the operator is told.
#include <gtest/gtest.h>

#include "camera/flashareas.h"
#include "support/camerafixture.h"
#include "support/stopwatch.h"

namespace vela {
namespace {

using test::Strings;

class FlashAreaTest : public test::CameraTest {
  protected:
    long long AreaValue(int area, const std::string& name) {
        return camera->WithCore([&](sim::CameraCore& c) { return *c.AreaValue(area, name); });
    }
    void SetCameraValue(const std::string& name, long long value) {
        camera->WithCore([&](sim::CameraCore& c) { return c.SetValue(name, value); });
    }
};

TEST(FlashAreaNames, SelectionOffersTheFactoryAreaOnlyForLoadingOrInTheFactoryMode) {
    EXPECT_EQ(SelectableAreas(false, 0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(SelectableAreas(false, 1), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(SelectableAreas(true, 0), (std::vector<int>{0, 1, 2, 3}));
    for (int area = 0; area < kAreaCount; ++area) EXPECT_EQ(AreaFromItemText(AreaItemText(area)), area);
    EXPECT_EQ(std::string(AreaItemText(0)), "Factory");
    EXPECT_EQ(std::string(AreaItemText(3)), "User 3");
    EXPECT_EQ(std::string(AreaName(3)), "User 3 Data");  // the Communication window's names differ
    EXPECT_EQ(AreaFromItemText("Factory Data"), -1);
    EXPECT_EQ(AreaFromItemText("user 1"), -1);
    EXPECT_EQ(AreaItemText(4), nullptr);
}

TEST_F(FlashAreaTest, StoreSendsSaForUserAreasAndSa00ForTheFactoryArea) {
    Connect();
    SetCameraValue("GA", 321);
    const ActionMessage user = StoreSettingsToArea(command, 2);
    SetCameraValue("GA", 654);
    const ActionMessage factory = StoreSettingsToArea(command, 0);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"SA=2", "SA00=0"}));
    EXPECT_EQ(AreaValue(2, "GA"), 321);
    EXPECT_EQ(AreaValue(0, "GA"), 654);
    for (const ActionMessage& done : {user, factory}) {
        EXPECT_EQ(done.text, "Completed saving current setting data !");
        EXPECT_EQ(done.icon, PromptIcon::Information);
    }

    const ActionMessage invalid = StoreSettingsToArea(command, -1);
    EXPECT_EQ(invalid.text, "Selected invalid area !");
    EXPECT_EQ(invalid.icon, PromptIcon::Stop);
    EXPECT_EQ(camera->ReceivedLines().size(), 2u);  // nothing sent for it
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(FlashAreaTest, RefusedStoreIsReportedByTheTransactionAlone) {
    Connect();
    camera->SetFailure(sim::FailureMode::RefuseWrites);
    EXPECT_EQ(StoreSettingsToArea(command, 1).text, "");
    ASSERT_EQ(events.entries().size(), 1u);
    EXPECT_EQ(events.entries()[0].caption, "Communication Error");
}

TEST_F(FlashAreaTest, LoadMakesTheAreaCurrentAndEaReportsIt) {
    Connect();
    SetCameraValue("GA", 777);
    ASSERT_EQ(StoreArea(command, 3, kStoreAreaTimeoutMs), 1);
    SetCameraValue("GA", 100);
    EXPECT_EQ(LoadArea(command, 3, kLoadAreaTimeoutMs), 1);
    int area = -5;
    EXPECT_EQ(ReadCurrentArea(command, area, 5000), 1);
    EXPECT_EQ(area, 3);
    int value = 0;
    ASSERT_EQ(command.ReadValue(kCmdGA, value, 5000), 1);
    EXPECT_EQ(value, 777);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"SA=3", "LD=3", "EA?", "GA?"}));

    camera->SetFailure(sim::FailureMode::Silent);
    EXPECT_EQ(ReadCurrentArea(command, area, 100), 0);
    EXPECT_EQ(area, -1);
}

TEST_F(FlashAreaTest, StoreAllWritesEveryAreaHighestFirstEvenAfterFailures) {
    Connect();
    const test::Stopwatch stopwatch;
    EXPECT_EQ(StoreAllWithReport(command).text, "Completed to store current setting data!");
    EXPECT_GE(stopwatch.Ms(), 4u * kStoreAllSpacingMs);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"SA=3", "SA=2", "SA=1", "SA00=0"}));
    EXPECT_TRUE(events.entries().empty());

    camera->ClearLines();
    camera->SetFailure(sim::FailureMode::RefuseWrites);
    const ActionMessage failed = StoreAllWithReport(command);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"SA=3", "SA=2", "SA=1", "SA00=0"}));
    EXPECT_EQ(events.entries().size(), 4u);  // four refusals as they happen, then the one summary
    EXPECT_EQ(failed.text, "Couldn't store current setting data!");
    EXPECT_EQ(failed.icon, PromptIcon::Exclamation);
}

// The pause before each store is the tool's own: with a flash write a little shorter than
// the engine's poll step, the answer is taken at the next poll and the next store would
// follow it within a few milliseconds without the pause.
TEST_F(FlashAreaTest, StoreAllPausesBeforeEachStore) {
    sim::CameraOptions options;
    options.flashMs = Command::kPollStepMs * 3 / 4;
    Connect(options);
    const auto start = sim::PtyCamera::Clock::now();
    EXPECT_EQ(StoreAllAreas(command), 0);
    const std::vector<sim::PtyCamera::Clock::time_point> received = camera->ReceivedTimes();
    const std::vector<sim::PtyCamera::Clock::time_point> answered = camera->SentTimes();
    ASSERT_EQ(received.size(), 4u);
    ASSERT_EQ(answered.size(), 4u);
    const auto gap = std::chrono::milliseconds(kStoreAllSpacingMs);
    EXPECT_GE(received[0] - start, gap);
    for (std::size_t i = 1; i < received.size(); ++i) EXPECT_GE(received[i] - answered[i - 1], gap) << i;
}

}  // namespace
}  // namespace vela
