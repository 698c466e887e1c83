// The whole-camera parameter read without widgets, against the simulated camera: which
// rows are queried, in which order, and the progress positions it reports.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "camera/parameterreader.h"
#include "support/camerafixture.h"
#include "support/stopwatch.h"

namespace vela {
namespace {

using test::Strings;

using ParameterReaderTest = test::CameraTest;

Strings UserQueries() {
    return {"CBDRT?", "TG?",  "TI?",  "TA?",   "ARST?",  "EM?",  "PE?", "LR?",  "AL?", "BI?",
            "HB?",    "HBM?", "BA?",  "TAGM?", "CLC?",   "TS?",  "GA?", "ABG?", "BL?", "SDC?",
            "PGC?",   "PBC?", "LUN?", "GMA?",  "TMPS0?", "LS0?", "SS?", "MF?"};
}

// 100/n, 200/n, ... in integer division.
std::vector<int> Positions(int count, int total) {
    std::vector<int> positions;
    for (int i = 1; i <= count; ++i) positions.push_back(i * 100 / total);
    return positions;
}

TEST_F(ParameterReaderTest, UserModeReadsTheUserRowsInTableOrder) {
    Connect({});
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("BL", -133); });

    EXPECT_EQ(ReadParameterRows(command, model, 0, progress), 28);

    EXPECT_EQ(camera->ReceivedLines(), UserQueries());
    EXPECT_EQ(progress.messages, Strings{"Now, reading camera settings."});
    EXPECT_EQ(progress.positions, Positions(28, 38));
    EXPECT_EQ(progress.positions.back(), 73);
    EXPECT_EQ(progress.finished, 1);
    EXPECT_EQ(progress.drains, 28);
    EXPECT_EQ(command.GetDataValue(1139), -133);
    EXPECT_EQ(command.GetDataValue(1199), 50);  // factory rows untouched
    EXPECT_TRUE(events.entries().empty());
}

TEST_F(ParameterReaderTest, FactoryModeAddsTheFactoryRows) {
    Connect({});
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("GA8K00", 150); });

    EXPECT_EQ(ReadParameterRows(command, model, 1, progress), 39);

    Strings expected = UserQueries();
    for (const char* q : {"GA4A00?", "GA4B00?", "GA8K00?", "BL4A00?", "BL4B00?", "BL8K00?", "BAS00?", "BYP0?",
                          "GA00?", "PGC00?", "PBC00?"}) {
        expected.push_back(q);
    }
    EXPECT_EQ(camera->ReceivedLines(), expected);
    EXPECT_EQ(progress.positions, Positions(39, 49));
    EXPECT_EQ(progress.positions.back(), 79);
    EXPECT_EQ(command.GetDataValue(1203), 150);
}

TEST_F(ParameterReaderTest, AControlModeOfTwoReadsTheFactoryRowsButCountsUserRows) {
    Connect({});
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("GA8K00", 150); });
    EXPECT_EQ(ReadParameterRows(command, model, 2, progress), 39);
    EXPECT_EQ(command.GetDataValue(1203), 150);
    EXPECT_EQ(progress.positions.back(), 3900 / 38);
}

TEST_F(ParameterReaderTest, UnsupportedModelQueriesNothingButStillShowsProgress) {
    sim::CameraOptions options;
    options.model = "VELA-2K-MONO";
    Connect(options);

    EXPECT_EQ(ReadParameterRows(command, model, 1, progress), 0);
    EXPECT_TRUE(camera->ReceivedLines().empty());
    EXPECT_EQ(progress.messages.size(), 1u);
    EXPECT_TRUE(progress.positions.empty());
    EXPECT_EQ(progress.finished, 1);
}

TEST_F(ParameterReaderTest, FailedQueryKeepsTheRowAndTheReadGoesOn) {
    Connect({});
    command.SetDataValue(1041, 777);
    // From the first query on, every query is answered under the wrong name.
    camera->SetFailure(sim::FailureMode::WrongName);

    EXPECT_EQ(ReadParameterRows(command, model, 0, progress), 28);
    EXPECT_EQ(camera->ReceivedLines().size(), 28u);
    EXPECT_EQ(command.GetDataValue(1041), 777);
    EXPECT_EQ(events.entries().size(), 28u);  // one "Communication Error" per row
    EXPECT_EQ(progress.positions.back(), 73);
}

// The 28 queries alone at 115200 bit/s with paced bytes, next to the 28 x 20 ms floor.
TEST_F(ParameterReaderTest, QueriesAt115200AreMeasured) {
    sim::CameraOptions options;
    options.baudRate = 115200;
    sim::WireOptions wire;
    wire.paceBytes = true;
    Connect(options, wire);

    const vela::test::Stopwatch start;
    ASSERT_EQ(ReadParameterRows(command, model, 0, progress), 28);
    const std::uint32_t elapsed = start.Ms();
    std::printf("28 user-mode queries at 115200 bit/s: %u ms (floor 28 x 20 ms = 560 ms)\n", elapsed);
    RecordProperty("queries_ms", static_cast<int>(elapsed));
    EXPECT_GE(elapsed, 560u);
    EXPECT_LT(elapsed, 10000u);
}

}  // namespace
}  // namespace vela
