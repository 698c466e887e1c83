// The recalibration sequence without widgets, against the simulated camera: the start,
// the status wait with its pauses, and every way the wait ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/recalibration.h"
#include "platform/clock.h"
#include "support/camerafixture.h"

namespace vela::test {
namespace {

void ExpectMessage(const ActionMessage& message, const std::string& text, const std::string& caption,
                   PromptIcon icon) {
    EXPECT_EQ(message.text, text);
    EXPECT_EQ(message.caption, caption);
    EXPECT_EQ(message.icon, icon);
}

class RecalibrationTest : public CameraTest {
  protected:
    // Sleeps like the command-line caller and counts the pauses.
    RecalibrationPause CountingPause() {
        return [this](int ms) {
            pauses.push_back(ms);
            SleepMs(static_cast<std::uint32_t>(ms));
        };
    }

    std::vector<int> pauses;
};

TEST_F(RecalibrationTest, WaitsThroughStatusZeroAndReportsTheResultUnderTheActionsCaption) {
    sim::CameraOptions options;
    options.recalibrationMs = 700;
    options.recalibrationResult = 3;
    Connect(options);
    RecalibrationTiming timing;
    timing.pollIntervalMs = 200;

    const Recalibration& pixelBlack = RecalibrationOf(RecalibrationKind::PixelBlackUser);
    const RecalibrationResult result = RunRecalibration(command, pixelBlack, CountingPause(), timing);

    EXPECT_EQ(result.outcome, RecalibrationOutcome::Finished);
    EXPECT_EQ(result.status, 3);
    // 700 ms of status 0 at one read per 200 ms: at least three reads said 0.
    EXPECT_GE(result.statusReads, 4);
    Strings expected{"PBR=0"};
    expected.insert(expected.end(), static_cast<std::size_t>(result.statusReads), "PBS?");
    EXPECT_EQ(camera->ReceivedLines(), expected);
    EXPECT_EQ(pauses, std::vector<int>(static_cast<std::size_t>(result.statusReads), 200));

    ExpectMessage(RecalibrationMessage(pixelBlack, result), "Too Dark", "Recalibrate Pixel Black (User)",
                  PromptIcon::None);
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(RecalibrationTest, AStatusReadWithoutAnswerEndsTheWaitAtOnce) {
    sim::CameraOptions options;
    options.recalibrationMs = 60000;
    options.commandDelayMs = {{"SDS00", 1500}};
    Connect(options);
    RecalibrationTiming timing;
    timing.pollIntervalMs = 100;
    timing.statusTimeoutMs = 500;

    const Recalibration& shading = RecalibrationOf(RecalibrationKind::ShadingFactory);
    const RecalibrationResult result = RunRecalibration(command, shading, CountingPause(), timing);

    EXPECT_EQ(result.outcome, RecalibrationOutcome::NoAnswer);
    EXPECT_EQ(result.statusReads, 1);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"SDR00=0", "SDS00?"}));
    ExpectMessage(RecalibrationMessage(shading, result),
                  "No answer from the camera while waiting for the result.", "Recalibrate FFC (Factory)",
                  PromptIcon::Exclamation);
}

TEST_F(RecalibrationTest, ACameraThatNeverFinishesIsGivenUpOnAfterTheLimit) {
    sim::CameraOptions options;
    options.recalibrationMs = 3600 * 1000;
    Connect(options);
    RecalibrationTiming timing;
    timing.pollIntervalMs = 100;
    timing.giveUpAfterMs = 600;

    const Recalibration& gain = RecalibrationOf(RecalibrationKind::PixelGainFactory);
    const std::uint32_t start = TickCount();
    const RecalibrationResult result = RunRecalibration(command, gain, CountingPause(), timing);

    EXPECT_EQ(result.outcome, RecalibrationOutcome::StillRunning);
    EXPECT_GE(ElapsedMs(start), 600u);
    EXPECT_GE(result.statusReads, 2);
    // The camera answered every read: the box must not say it did not.
    ExpectMessage(
        RecalibrationMessage(gain, result),
        "The camera still reports the recalibration as running; the tool has stopped waiting for the "
        "result.",
        "Recalibrate Pixel Gain (Factory)", PromptIcon::Exclamation);
}

TEST_F(RecalibrationTest, EachRecalibrationStartsAndPollsItsOwnCommands) {
    sim::CameraOptions options;
    options.recalibrationMs = 0;
    options.recalibrationResult = 1;
    Connect(options);
    RecalibrationTiming timing;
    timing.pollIntervalMs = 10;

    struct Row {
        RecalibrationKind kind;
        Strings lines;
        const char* caption;
    };
    const Row rows[] = {
        {RecalibrationKind::ShadingUser, {"SDR=0", "SDS?"}, "Recalibrate FFC (User)"},
        {RecalibrationKind::PixelGainUser, {"PGR=0", "PGS?"}, "Recalibrate Pixel Gain (User)"},
        {RecalibrationKind::PixelBlackUser, {"PBR=0", "PBS?"}, "Recalibrate Pixel Black (User)"},
        {RecalibrationKind::ShadingFactory, {"SDR00=0", "SDS00?"}, "Recalibrate FFC (Factory)"},
        {RecalibrationKind::PixelGainFactory, {"PGR00=0", "PGS00?"}, "Recalibrate Pixel Gain (Factory)"},
        {RecalibrationKind::PixelBlackFactory, {"PBR00=0", "PBS00?"}, "Recalibrate Pixel Black (Factory)"},
    };
    for (const Row& row : rows) {
        camera->ClearLines();
        const Recalibration& recalibration = RecalibrationOf(row.kind);
        const RecalibrationResult result = RunRecalibration(command, recalibration, CountingPause(), timing);
        EXPECT_EQ(camera->ReceivedLines(), row.lines);
        ExpectMessage(RecalibrationMessage(recalibration, result), "Succeeded", row.caption,
                      PromptIcon::None);
    }
}

}  // namespace
}  // namespace vela::test
