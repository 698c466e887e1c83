// The LUT transfers against the simulated camera on a pseudo-terminal: what crosses the
// wire, what lands in the table and in the camera, and the progress they report.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "camera/luttransfer.h"
#include "support/cameraonport.h"
#include "support/recorders.h"

namespace vela {
namespace {

using test::Strings;

struct RecordedProgress : LutTransferProgress {
    void Start(const std::string& message) override { starts.push_back(message); }
    void SetMessage(const std::string& message) override { messages.push_back(message); }
    void SetPos(int percent) override { positions.push_back(percent); }
    void Finish() override { ++finished; }
    void EntryDone() override { ++entries; }
    Strings starts;
    Strings messages;
    std::vector<int> positions;
    int finished = 0;
    int entries = 0;
};

class LutTransferTest : public ::testing::Test, protected test::CameraOnPort {
  protected:
    static constexpr int kComNumber = 4;

    void Connect(sim::WireOptions wire = {}) {
        sim::CameraOptions options;
        options.baudRate = 115200;
        ASSERT_EQ(ConnectCamera(kComNumber, options, wire), "");
    }
    void TearDown() override { Disconnect(); }
    int CameraLut(int i) {
        return camera->WithCore([i](sim::CameraCore& core) { return core.Lut(i); });
    }

    RecordedProgress progress;
};

TEST_F(LutTransferTest, ReadEditWriteBackRoundTrip) {
    Connect();
    camera->WithCore([](sim::CameraCore& core) {
        for (int i = 0; i < 256; ++i) core.SetLut(i, (i * 131 + 7) % 4096);
        core.SetLut(17, 5000);  // beyond 12 bits: read as 4095
        return 0;
    });
    LutTable table{};
    ASSERT_EQ(ReadLutTable(command, table, progress), 1);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], i == 17 ? 4095 : (i * 131 + 7) % 4096) << i;

    // 512 transactions, the index before each query.
    const Strings received = camera->ReceivedLines();
    ASSERT_EQ(received.size(), 512u);
    EXPECT_EQ(received[0], "LUTI=0");
    EXPECT_EQ(received[1], "LUTD?");
    EXPECT_EQ(received[510], "LUTI=255");
    EXPECT_EQ(received[511], "LUTD?");

    EXPECT_EQ(progress.starts, Strings{"Now, reading camera gamma data  "});
    ASSERT_EQ(progress.messages.size(), 256u);
    EXPECT_EQ(progress.messages.front(), "Now, reading camera gamma data    (1 / 256)");
    EXPECT_EQ(progress.messages.back(), "Now, reading camera gamma data    (256 / 256)");
    ASSERT_EQ(progress.positions.size(), 257u);
    EXPECT_EQ(progress.positions[0], 0);
    EXPECT_EQ(progress.positions[129], 50);  // entry 128
    EXPECT_EQ(progress.positions.back(), 99);
    EXPECT_EQ(progress.entries, 256);
    EXPECT_EQ(progress.finished, 1);

    for (int i = 0; i < 256; ++i) table[i] = 4095 - table[i];
    camera->ClearLines();
    RecordedProgress writing;
    EXPECT_EQ(WriteLutTable(command, table, writing), 256);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(CameraLut(i), table[i]) << i;
    EXPECT_EQ(camera->ReceivedLines().size(), 512u);
    EXPECT_EQ(writing.starts, Strings{"Now, writing camera gamma data."});
    EXPECT_EQ(writing.messages.back(), "Now, writing camera gamma data.  (256 / 256)");
    EXPECT_EQ(writing.finished, 1);
    EXPECT_TRUE(events.entries().empty());
}

TEST_F(LutTransferTest, ReadStopsWhereTheCameraStopsAnswering) {
    sim::WireOptions wire;
    wire.failure = sim::FailureMode::HangUp;
    wire.hangUpAfterLines = 2 * 40;  // answers entries 0 .. 39
    Connect(wire);
    LutTable table;
    table.fill(123);
    EXPECT_EQ(ReadLutTable(command, table, progress), 0);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(table[i], 16 * i) << i;
    for (int i = 40; i < 256; ++i) EXPECT_EQ(table[i], 123) << i;
    EXPECT_EQ(progress.messages.size(), 40u);
    EXPECT_EQ(progress.finished, 1);
}

TEST_F(LutTransferTest, WriteRunsToTheEndThroughRefusals) {
    sim::WireOptions wire;
    wire.failure = sim::FailureMode::RefuseWrites;
    Connect(wire);
    LutTable table;
    table.fill(1);
    EXPECT_EQ(WriteLutTable(command, table, progress), 0);  // entry 0 was the first refused
    EXPECT_EQ(camera->ReceivedLines().size(), 512u);
    EXPECT_EQ(progress.entries, 256);
    EXPECT_EQ(events.entries().size(), 512u);  // each refusal reports itself
    EXPECT_EQ(CameraLut(0), 0);
}

}  // namespace
}  // namespace vela
