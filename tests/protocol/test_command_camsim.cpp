// The engine against the simulated camera on a pseudo-terminal, through the real ComPort.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "protocol/cameramodel.h"
#include "protocol/onlinestatusregistry.h"
#include "support/cameraonport.h"
#include "support/recorders.h"
#include "support/stopwatch.h"

namespace vela {
namespace {

using test::Strings;

class CamsimCommandTest : public ::testing::Test, protected test::CameraOnPort {
  protected:
    static constexpr int kComNumber = 9;

    void SetUp() override {
        sim::CameraOptions options;
        options.baudRate = 115200;
        options.model = "VELA-4K-MONO2";
        ASSERT_EQ(ConnectCamera(kComNumber, options), "");
    }
    void TearDown() override { Disconnect(); }
};

TEST_F(CamsimCommandTest, WritesAndReadsParameters) {
    EXPECT_EQ(command.WriteValue(kCmdGA, 420, 5000), 1);
    EXPECT_EQ(command.WriteValue(kCmdBL, -133, 5000), 1);
    EXPECT_EQ(command.WriteString(kCmdUD, "Line 2", 5000), 1);
    int gain = 0, black = 0;
    std::string user;
    EXPECT_EQ(command.ReadValue(kCmdGA, gain, 5000), 1);
    EXPECT_EQ(command.ReadValue(kCmdBL, black, 5000), 1);
    EXPECT_EQ(command.ReadString(kCmdUD, user, 5000), 1);
    EXPECT_EQ(gain, 420);
    EXPECT_EQ(black, -133);
    EXPECT_EQ(user, "LINE2");  // text values come back upper-cased, without spaces
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA=420", "BL=-133", "UD=Line 2", "GA?", "BL?", "UD?"}));
    EXPECT_EQ(camera->WithCore([](sim::CameraCore& c) { return *c.Value("GA"); }), 420);
    EXPECT_TRUE(events.entries().empty());
    EXPECT_TRUE(command.Online().IsOnline());
}

TEST_F(CamsimCommandTest, RefusedWriteShowsTheAnswerAndKeepsTheCameraOnline) {
    EXPECT_EQ(command.WriteValue(kCmdGA, 99999, 5000), 0);
    ASSERT_EQ(events.entries().size(), 1u);
    EXPECT_EQ(events.entries()[0].caption, "Communication Error");
    EXPECT_NE(events.entries()[0].text.rfind("COMPLETE", 0), 0u);
    EXPECT_TRUE(command.Online().IsOnline());
    EXPECT_EQ(camera->WithCore([](sim::CameraCore& c) { return *c.Value("GA"); }), 100);
}

TEST_F(CamsimCommandTest, CameraModelFromTheCamera) {
    CameraModel model(command);
    EXPECT_EQ(model.Read(), 1);
    EXPECT_EQ(model.Index(), 2);
    EXPECT_TRUE(model.IsSupported() && model.Is4K() && !model.Is8K());
    EXPECT_EQ(model.Name(), "VELA-4K-MONO2");
    camera->WithCore([](sim::CameraCore& c) { c.SetModel("LS-2000"); });
    EXPECT_EQ(model.Read(), 1);
    EXPECT_EQ(model.Index(), CameraModel::kUnknown);
    EXPECT_EQ(events.texts(), Strings{"Unsupported model: \"LS-2000\""});
    EXPECT_EQ(model.Name(), "LS-2000");

    camera->SetFailure(sim::FailureMode::Silent);
    const vela::test::Stopwatch start;
    EXPECT_EQ(model.Read(), 0);  // the last answer stands
    EXPECT_GE(start.Ms(), 1000u);
    EXPECT_EQ(model.Index(), CameraModel::kUnknown);
    EXPECT_EQ(model.Name(), "LS-2000");
    EXPECT_FALSE(command.Online().IsOnline());
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"MD?", "MD?", "MD?"}));
}

TEST_F(CamsimCommandTest, FaultyAnswersAreReportedAndTheNextTransactionWorks) {
    camera->SetFailure(sim::FailureMode::Garbage);
    int value = 0;
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 2000), 0);
    ASSERT_EQ(events.entries().size(), 1u);
    EXPECT_NE(events.texts()[0].find(" for GA?"), std::string::npos);

    camera->SetFailure(sim::FailureMode::WrongName);
    command.Online().SetOffline();
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 2000), 0);
    EXPECT_FALSE(command.Online().IsOnline());  // another name changes nothing

    // Paced at the line's rate, as a real camera sends: the port's ring holds 1023 bytes.
    camera->SetPaceBytes(true);
    camera->SetFailure(sim::FailureMode::OverlongLine, 1030);
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 500), 0);
    EXPECT_EQ(events.texts().back(), "RS-232C receiving buffer overflowed");

    camera->SetFailure(sim::FailureMode::None);
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 2000), 1);
    EXPECT_EQ(value, 100);
}

// The transactions that say what happened: each kind from a real exchange, and no box.
TEST_F(CamsimCommandTest, TransactionsReturnWhatHappenedWithoutABox) {
    CommandValue v;  // what a query reads
    CommandValue tooHigh;
    tooHigh.integerValue = 5000;
    const struct {
        const char* what;
        sim::FailureMode fault;
        std::function<Result()> run;
        Result::Kind kind;
        std::string sent;
    } cases[] = {
        {"answer", sim::FailureMode::None, [&] { return command.Query(kCmdGA, v, 1000); }, Result::Kind::Done,
         ""},
        {"refusal", sim::FailureMode::None, [&] { return command.Write(kCmdGA, tooHigh, 1000); },
         Result::Kind::Refused, "GA=5000"},
        {"wrong name", sim::FailureMode::WrongName, [&] { return command.Query(kCmdGA, v, 1000); },
         Result::Kind::Refused, "GA?"},
        {"silence", sim::FailureMode::Silent, [&] { return command.Query(kCmdBL, v, 300); },
         Result::Kind::NoAnswer, "BL?"},
        {"hang-up", sim::FailureMode::HangUp, [&] { return command.WriteText(kCmdUD, "x", 300); },
         Result::Kind::NoAnswer, "UD=x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        camera->SetFailure(c.fault);
        const Result r = c.run();
        EXPECT_EQ(r.kind, c.kind) << Describe(r);
        EXPECT_EQ(r.sent, c.kind == Result::Kind::Done ? "" : c.sent);
        if (c.kind == Result::Kind::Refused) {
            EXPECT_EQ(r.answer, camera->SentLines().back());
        }
        if (c.kind == Result::Kind::NoAnswer) {
            EXPECT_EQ(r.timeoutMs, 300);
        }
        EXPECT_EQ(command.LastResult().kind, c.kind);
    }
    EXPECT_EQ(command.FailedTransactions(), 4);
    EXPECT_TRUE(events.entries().empty());
}

// Fast answers take a line that comes in pieces whole, and wait out the whole time-out for
// a camera that is silent or has hung up: never shorter, and without a box for the wait.
TEST_F(CamsimCommandTest, FastAnswersWaitForTheWholeLineAndTheWholeTimeOut) {
    command.SetFastAnswers(true);
    camera->SetPaceBytes(true);
    int value = 0;
    camera->SetFailure(sim::FailureMode::SplitAnswers, 40);
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 2000), 1);
    EXPECT_EQ(value, 100);
    for (const sim::FailureMode fault : {sim::FailureMode::Silent, sim::FailureMode::HangUp}) {
        camera->SetFailure(fault);
        const vela::test::Stopwatch start;
        EXPECT_EQ(command.ReadValue(kCmdGA, value, 600), 0);
        EXPECT_GE(start.Ms(), 600u);
        EXPECT_FALSE(command.Online().IsOnline());
    }
    EXPECT_TRUE(events.entries().empty());
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA?", "GA?", "GA?"}));
}

}  // namespace
}  // namespace vela
