#include <string>
#include <vector>

#include "platform/clock.h"
#include "support/ptyfixture.h"
#include "support/stopwatch.h"

namespace vela::test {
namespace {

// The GUI's 25 ms timer, run on this thread until a line is logged or 5 s have passed.
void TickUntilLogged(Command& command, const LogLines& log) {
    const vela::test::Stopwatch start;
    while (log.lines.empty() && start.Ms() < 5000) {
        SleepMs(Command::kTimerPeriodMs);
        command.OnTimer();
    }
}

// Long answers go out in pieces a 115200 bit/s line would carry between two looks, so the
// port's 1023-byte ring never overflows before the engine sees them.
std::vector<RawPty::Chunk> Paced(const std::string& bytes) {
    std::vector<RawPty::Chunk> chunks;
    for (std::size_t i = 0; i < bytes.size(); i += 200) chunks.push_back({bytes.substr(i, 200), 20});
    return chunks;
}

struct QueryCase {
    const char* label;
    int cmdId;
    std::string answer;  // bytes on the wire
    int result;
    int value;
    std::string text;
    std::string box;  // "" when none
};

class QueryAnswer : public PtyCommandTest, public ::testing::WithParamInterface<QueryCase> {};

TEST_P(QueryAnswer, IsCheckedAsTheCommandSays) {
    const QueryCase& c = GetParam();
    pty.AnswerWith(c.answer);
    CommandValue v;
    EXPECT_EQ(command.QueryCommand(c.cmdId, v, 1000), c.result);
    EXPECT_EQ(pty.ReceivedBytes(), command.FormatQueryLine(c.cmdId, true));
    if (c.result) {
        EXPECT_EQ(v.integerValue, c.value);
        EXPECT_EQ(v.text, c.text);
    }
    EXPECT_EQ(events.texts(), c.box.empty() ? Strings{} : Strings{c.box});
    if (!c.box.empty()) {
        ASSERT_FALSE(events.entries().empty());
        EXPECT_EQ(events.entries()[0].caption, "Communication Error");
        EXPECT_EQ(events.entries()[0].icon, PromptIcon::Exclamation);
    }
    // Only an accepted answer turns the bars green; a wrong one leaves them as they were.
    EXPECT_EQ(bar.updates, c.result ? std::vector<int>{1} : std::vector<int>{});
    EXPECT_EQ(command.Online().IsOnline(), c.result == 1);
    EXPECT_EQ(cursor.begun, 0);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, QueryAnswer,
    ::testing::Values(QueryCase{"plain", kCmdGA, "GA=100\r\n", 1, 100, "", ""},
                      QueryCase{"lowerCase", kCmdGA, "ga=100\r\n", 1, 100, "", ""},
                      QueryCase{"spaces", kCmdGA, "GA = 100\r\n", 1, 100, "", ""},
                      QueryCase{"hex", kCmdGA, "GA=&H1F\r\n", 1, 31, "", ""},
                      QueryCase{"emptyValue", kCmdGA, "GA=\r\n", 1, 0, "", ""},
                      QueryCase{"echo", kCmdGA, "GA?\r\n", 1, 0, "", ""},
                      QueryCase{"bareLf", kCmdGA, "GA=100\n", 1, 100, "", ""},
                      QueryCase{"noOperator", kCmdGA, "GA\r\n", 0, 0, "", "GA for GA?"},
                      QueryCase{"unknownName", kCmdGA, "XYZ=1\r\n", 0, 0, "", "XYZ=1 for GA?"},
                      QueryCase{"longerName", kCmdGA, "GA00=5\r\n", 0, 0, "", "GA00=5 for GA?"},
                      QueryCase{"refused", kCmdGA, "ERR\r\n", 0, 0, "", "ERR for GA?"},
                      QueryCase{"textComma", kCmdUD, "UD=AB,CD\r\n", 1, 0, "AB", ""},
                      QueryCase{"textSpaces", kCmdUD, "UD=my id 1\r\n", 1, 0, "MYID1", ""},
                      QueryCase{"garbage", kCmdGA, "\xff\xfe\x01GA=5\r\n", 0, 0, "",
                                "\xff\xfe\x01GA=5 for GA?"},
                      QueryCase{"nulBeforeName", kCmdGA, std::string("\0GA=5\r\n", 7), 0, 0, "",
                                std::string("\0GA=5 for GA?", 13)},
                      QueryCase{"nulEndsNumber", kCmdGA,
                                std::string("GA=1\0"
                                            "2\r\n",
                                            8),
                                1, 1, "", ""}),
    [](const auto& info) { return std::string(info.param.label); });

struct WriteCase {
    const char* label;
    std::string answer;
    int result;
};

class WriteAnswer : public PtyCommandTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteAnswer, MustStartWithComplete) {
    const WriteCase& c = GetParam();
    pty.AnswerWith(c.answer);
    EXPECT_EQ(command.WriteValue(kCmdGA, 100, 1000), c.result);
    EXPECT_EQ(pty.ReceivedBytes(), "GA=100\r\n");
    ASSERT_EQ(events.entries().size(), c.result ? 0u : 1u);
    if (!c.result) {
        EXPECT_EQ(Captions(), Strings{"Communication Error"});
        EXPECT_EQ(events.entries()[0].text + "\r\n", c.answer);
    }
    // Any answer means the camera is there.
    EXPECT_EQ(bar.updates, std::vector<int>{1});
    EXPECT_EQ(cursor.begun, 1);
    EXPECT_EQ(cursor.ended, 1);
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, WriteAnswer,
                         ::testing::Values(WriteCase{"upper", "COMPLETE\r\n", 1},
                                           WriteCase{"lower", "complete\r\n", 1},
                                           WriteCase{"moreText", "COMPLETE OK\r\n", 1},
                                           WriteCase{"cut", "COMPLET\r\n", 0},
                                           WriteCase{"refused", "ERROR\r\n", 0}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(PtyCommandTest, ValuesGoOutAsTheirKindSays) {
    pty.AnswerWith("COMPLETE\r\n");
    EXPECT_EQ(command.WriteValue(kCmdBL, -133, 1000), 1);
    EXPECT_EQ(command.WriteString(kCmdXMLVR, "1.2.3", 1000), 1);  // an Integer command sent as text
    EXPECT_EQ(command.WriteValue(kCmdXMLVR, 7, 1000), 1);         // and back to its own kind
    EXPECT_EQ(command.WriteValue(kCmdUD, 5, 1000), 1);            // a Text command loses the number
    EXPECT_EQ(command.WriteString(kCmdUD, "Line 2", 1000), 1);
    EXPECT_EQ(pty.ReceivedLines(), (Strings{"BL=-133", "XMLVR=1.2.3", "XMLVR=7", "UD=", "UD=Line 2"}));
}

TEST_F(PtyCommandTest, LogsSentAndReceivedLinesInOrder) {
    pty.AnswerWith("GA=100\r\n");
    int value = 0;
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 1000), 1);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(log.lines, (Strings{"Tx: GA?", "Rx: GA=100"}));
}

TEST_F(PtyCommandTest, AnswerSplitOverTimeIsAssembled) {
    pty.SetResponder([](const std::string& line) {
        if (line == "GA?") return std::vector<RawPty::Chunk>{{"GA=1", 0}, {"23\r\n", 30}};
        return std::vector<RawPty::Chunk>{{"COMP", 0}, {"LETE\r\n", 30}};
    });
    EXPECT_EQ(command.WriteValue(kCmdGA, 5, 1000), 1);
    int value = 0;
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 1000), 1);
    EXPECT_EQ(value, 123);
    EXPECT_TRUE(events.entries().empty());
}

TEST_F(PtyCommandTest, SilentCameraTimesOutAndGoesOffline) {
    command.Online().SetOnline();
    bar.updates.clear();
    vela::test::Stopwatch start;
    EXPECT_EQ(command.WriteValue(kCmdGA, 100, 500), 0);
    std::uint32_t elapsed = start.Ms();
    EXPECT_GE(elapsed, 500u);
    EXPECT_LE(elapsed, 5000u);
    EXPECT_EQ(cursor.begun, 1);
    EXPECT_EQ(cursor.ended, 1);

    int value = 0;
    start.Restart();
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 500), 0);
    elapsed = start.Ms();
    EXPECT_GE(elapsed, 500u);
    EXPECT_LE(elapsed, 5000u);

    EXPECT_TRUE(events.entries().empty());
    EXPECT_EQ(bar.updates, (std::vector<int>{0, 0}));
    EXPECT_FALSE(command.Online().IsOnline());
    EXPECT_EQ(pty.ReceivedLines(), (Strings{"GA=100", "GA?"}));
}

TEST_F(PtyCommandTest, FirstLookIsAfterTwentyMilliseconds) {
    pty.AnswerWith("COMPLETE\r\n");
    const vela::test::Stopwatch start;
    EXPECT_EQ(command.WriteValue(kCmdGA, 100, 1000), 1);
    EXPECT_GE(start.Ms(), 20u);
}

TEST_F(PtyCommandTest, LinesBetweenTransactionsAreLoggedThenDropped) {
    command.Create(nullptr);
    pty.Send("TMP0=45\r\n");
    const vela::test::Stopwatch sent;
    TickUntilLogged(command, log);
    EXPECT_EQ(log.lines, Strings{"Rx: TMP0=45"});
    EXPECT_LE(sent.Ms(), 2000u);
    EXPECT_EQ(command.ReceivedLineCount(), 1u);

    pty.AnswerWith("GA=300\r\n");
    int value = 0;
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 1000), 1);
    EXPECT_EQ(value, 300);
    EXPECT_EQ(command.ReceivedLineCount(), 0u);
    EXPECT_TRUE(events.entries().empty());
}

TEST_F(PtyCommandTest, TicksTakeWhatHasArrivedAndKeepAHalfLineForTheNext) {
    command.Create(nullptr);
    // A silent line: a tick takes nothing and does not wait for a byte (ten ms each would
    // make these 100 ticks last a second at least).
    const vela::test::Stopwatch silent;
    for (int i = 0; i < 100; ++i) command.OnTimer();
    EXPECT_LT(silent.Ms(), 500u);
    EXPECT_TRUE(log.lines.empty());

    // Half a line, taken by the ticks while the rest is still on its way.
    pty.Send("TMP0=");
    for (int i = 0; i < 8; ++i) {
        SleepMs(Command::kTimerPeriodMs);
        command.OnTimer();
    }
    EXPECT_TRUE(log.lines.empty());
    pty.Send("45\r\n");
    TickUntilLogged(command, log);
    EXPECT_EQ(log.lines, Strings{"Rx: TMP0=45"});
    EXPECT_EQ(command.ReceivedLineCount(), 1u);
    EXPECT_EQ(command.PopLine(), "TMP0=45");
}

TEST_F(PtyCommandTest, OverlongLineIsDroppedAndTheWaitGoesOn) {
    pty.SetResponder([](const std::string&) { return Paced(std::string(1024, 'x') + "GA=5\r\n"); });
    int value = 0;
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 2000), 1);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(events.texts(), Strings{"RS-232C receiving buffer overflowed"});
    EXPECT_EQ(Captions(), Strings{"Communication Error"});
}

TEST_F(PtyCommandTest, LongestLineFitsTheBuffer) {
    // 1023 bytes before the LF, the CR included.
    pty.SetResponder([](const std::string&) { return Paced("GA=7" + std::string(1018, ' ') + "\r\n"); });
    int value = 0;
    EXPECT_EQ(command.ReadValue(kCmdGA, value, 2000), 1);
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(events.entries().empty());
}

TEST_F(PtyCommandTest, FailedSendReturnsAtOnce) {
    link.SetKind(5);
    const vela::test::Stopwatch start;
    EXPECT_EQ(command.WriteValue(kCmdGA, 100, 5000), 0);
    EXPECT_EQ(command.WriteString(kCmdUD, "X", 5000), 0);
    EXPECT_LT(start.Ms(), 2500u);
    EXPECT_TRUE(events.entries().empty());
    EXPECT_TRUE(bar.updates.empty());
    EXPECT_TRUE(log.lines.empty());
    link.SetKind(ComPortKind);
}

TEST_F(PtyCommandTest, WaitCompleteAfterALineSentByTheCaller) {
    pty.AnswerWith("COMPLETE\r\n");
    command.ClearReceived();
    link.Write("MD00=VELA-4K-MONO\r\n");
    EXPECT_EQ(command.WaitComplete(1000), 1);
    EXPECT_EQ(pty.ReceivedLines(), Strings{"MD00=VELA-4K-MONO"});
}

TEST_F(PtyCommandTest, CreateStartsTheTimerOnce) {
    int started = 0;
    EXPECT_FALSE(command.IsCreated());
    command.Create([&] { ++started; });
    EXPECT_TRUE(command.IsCreated());
    EXPECT_EQ(started, 1);
}

}  // namespace
}  // namespace vela::test
