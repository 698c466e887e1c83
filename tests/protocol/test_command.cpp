#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "protocol/command.h"
#include "support/recordingevents.h"
#include "transport/seriallink.h"

namespace vela {
namespace {

class CommandTest : public ::testing::Test {
  protected:
    SerialLink link{SerialLink::Channels{}, nullptr};
    CommandTest() { command.SetEvents(&events); }
    Command command{link};
    RecordingEvents events;
};

TEST_F(CommandTest, FormatsLines) {
    CommandValue v;
    v.integerValue = 100;
    EXPECT_EQ(command.FormatSetLine(kCmdGA, v, true), "GA=100\r\n");
    EXPECT_EQ(command.FormatSetLine(kCmdGA, v, false), "GA=100");
    v.integerValue = -133;
    EXPECT_EQ(command.FormatSetLine(kCmdBL, v, false), "BL=-133");
    v.text = "My Station";
    EXPECT_EQ(command.FormatSetLine(kCmdUD, v, false), "UD=My Station");
    EXPECT_EQ(command.FormatQueryLine(kCmdGA4A00, true), "GA4A00?\r\n");
    EXPECT_EQ(command.FormatQueryLine(kCmdEB, false), "EB?");
    EXPECT_EQ(command.FormatSetLine(kCommandCount, v, true), "");
    EXPECT_EQ(command.FormatQueryLine(-1, true), "");
}

struct ParseCase {
    const char* line;
    int result;
    const char* raw;
    const char* name;
    int cmdId;
    int integerValue;
    const char* text;
};

TEST_F(CommandTest, ParsesAnswerLines) {
    const ParseCase cases[] = {
        {"GA=100", 1, "GA=100", "GA", 36, 100, ""},
        {"ga=100\r\n", 1, "ga=100", "GA", 36, 100, ""},
        {"GA = 100", 1, "GA=100", "GA", 36, 100, ""},
        {"GA=&H1F", 1, "GA=&H1F", "GA", 36, 31, ""},
        {"ga=&h1f", 1, "ga=&h1f", "GA", 36, 31, ""},
        {"GA=&HFFFFFFFF", 1, "GA=&HFFFFFFFF", "GA", 36, -1, ""},
        {"GA=&HZZ", 1, "GA=&HZZ", "GA", 36, 0, ""},
        {"GA=", 1, "GA=", "GA", 36, 0, ""},
        {"GA?", 1, "GA?", "GA", 36, 0, ""},
        {"BL=-133", 1, "BL=-133", "BL", 44, -133, ""},
        {"GA=+7", 1, "GA=+7", "GA", 36, 7, ""},
        {"GA=12abc", 1, "GA=12abc", "GA", 36, 12, ""},
        {"GA=abc", 1, "GA=abc", "GA", 36, 0, ""},
        {"GA=99999999999", 1, "GA=99999999999", "GA", 36, INT_MAX, ""},
        {"GA=-99999999999", 1, "GA=-99999999999", "GA", 36, INT_MIN, ""},
        {"GA=5,6", 1, "GA=5,6", "GA", 36, 5, ""},
        {"GA00=5", 1, "GA00=5", "GA00", 87, 5, ""},
        {"UD=AB,CD", 1, "UD=AB,CD", "UD", 6, 0, "AB"},
        {"UD=my id 1", 1, "UD=myid1", "UD", 6, 0, "MYID1"},
        {"UD=A=B", 1, "UD=A=B", "UD", 6, 0, "A=B"},
        {"MD=VELA-4K-MONO", 1, "MD=VELA-4K-MONO", "MD", 8, 0, "VELA-4K-MONO"},
        {"GA", 0, "GA", "", -1, 0, ""},
        {"", 0, "", "", -1, 0, ""},
        {"XYZ=1", 0, "XYZ=1", "XYZ", -1, 0, ""},
        {"A,B=5", 0, "A,B=5", "A,B", -1, 0, ""},
        {"=5", 0, "=5", "", -1, 0, ""},
        {"COMPLETE", 0, "COMPLETE", "", -1, 0, ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.line);
        ParsedLine p;
        p.cmdId = 55;
        EXPECT_EQ(Command::ParseLine(c.line, p), c.result);
        EXPECT_EQ(p.error, 1 - c.result);
        EXPECT_EQ(p.rawLine, c.raw);
        EXPECT_EQ(p.name, c.name);
        EXPECT_EQ(p.cmdId, c.cmdId);
        EXPECT_EQ(p.value.integerValue, c.integerValue);
        EXPECT_EQ(p.value.text, c.text);
    }
}

TEST_F(CommandTest, ParseValueLineAssignsOnlyOnSuccess) {
    int id = -5, value = -5;
    std::string name = "old", text = "old";
    EXPECT_EQ(Command::ParseValueLine("XYZ=1", id, name, value, text), 0);
    EXPECT_EQ(id, -5);
    EXPECT_EQ(name, "old");
    EXPECT_EQ(Command::ParseValueLine("ud = Line 2", id, name, value, text), 1);
    EXPECT_EQ(id, kCmdUD);
    EXPECT_EQ(name, "UD");
    EXPECT_EQ(text, "LINE2");
    EXPECT_EQ(Command::ParseValueLine("PE=12345", id, name, value, text), 1);
    EXPECT_EQ(value, 12345);
    EXPECT_EQ(text, "");
}

TEST_F(CommandTest, ValueStoreAndSnapshot) {
    EXPECT_EQ(command.GetDataValue(1041), 100);
    EXPECT_EQ(command.GetSavedDataValue(1041), 0);
    EXPECT_EQ(command.SetDataValue(1041, 420), 1);
    EXPECT_EQ(command.GetDataValue(1041), 420);
    EXPECT_EQ(command.GetSavedDataValue(1041), 0);
    command.SaveDataValues();
    EXPECT_EQ(command.GetSavedDataValue(1041), 420);
    EXPECT_EQ(command.GetSavedDataValue(1104), 1600);
    EXPECT_TRUE(events.entries().empty());
}

TEST_F(CommandTest, LookupsAndTheirMessages) {
    EXPECT_EQ(command.ToCmdId(1041), kCmdGA);
    EXPECT_EQ(command.ToCtrlId(kCmdGA), 1041);
    EXPECT_EQ(command.ToCtrlId(kCmdPBC00), 1214);
    EXPECT_EQ(command.CtrlId2TblIndex(1124), 0);
    EXPECT_EQ(command.CtrlId2TblIndex(1214), 56);
    EXPECT_EQ(command.GetCtrlOption(1093), 0);
    int lo = 1, hi = 2;
    EXPECT_EQ(command.GetDataRange(1139, lo, hi), 1);
    EXPECT_EQ(lo, -133);
    EXPECT_EQ(hi, 255);
    EXPECT_TRUE(events.entries().empty());

    lo = 7;
    hi = 8;
    EXPECT_EQ(command.GetDataRange(1000, lo, hi), 0);
    EXPECT_EQ(lo, 7);
    EXPECT_EQ(hi, 8);
    EXPECT_EQ(command.GetDataValue(-1), -1);  // the terminator's id is no row
    EXPECT_EQ(command.SetDataValue(1000, 5), 0);
    EXPECT_EQ(command.GetSavedDataValue(1000), -1);
    EXPECT_EQ(command.ToCmdId(1000), -1);
    EXPECT_EQ(command.ToCtrlId(kCmdDV), -1);
    EXPECT_EQ(command.GetCtrlOption(1000), -1);
    EXPECT_EQ(events.texts(), (std::vector<std::string>{
                                  "Unexpected error occurred in CtrlId2TblIndex().",
                                  "Unexpected error occurred in GetDataValue().",
                                  "Unexpected error occurred in SetDataValue().",
                                  "Unexpected error occurred in GetDataValue().",
                                  "Unexpected error occurred in ToCmdId().",
                                  "Unexpected error occurred in ToCtrlId(): Command id is 9",
                                  "Unexpected error occurred in CtrlId2TblIndex().",
                              }));
    for (const auto& e : events.entries()) EXPECT_EQ(e.icon, PromptIcon::Exclamation);
}

// Unread lines are kept up to 1000; past that the oldest make room, so the queue ends
// with the newest 1000 in the order they came.
TEST_F(CommandTest, TheReceivedLineQueueKeepsTheNewestThousand) {
    std::string bytes;
    std::size_t next = 0;
    command.SetByteSource([&](char* byte) {
        if (next >= bytes.size()) return 0;
        *byte = bytes[next++];
        return 1;
    });
    for (const int fed : {1000, 1001, 1234}) {
        SCOPED_TRACE(fed);
        command.ClearReceived();
        bytes.clear();
        next = 0;
        for (int i = 0; i < fed; ++i) bytes += "L" + std::to_string(i) + "\r\n";
        while (command.ReceiveLine(0)) {
        }
        ASSERT_EQ(command.ReceivedLineCount(), 1000u);
        EXPECT_EQ(command.PopLine(), "L" + std::to_string(fed - 1000));
        EXPECT_EQ(command.PopLine(), "L" + std::to_string(fed - 999));
        while (command.ReceivedLineCount() > 1) command.PopLine();
        EXPECT_EQ(command.PopLine(), "L" + std::to_string(fed - 1));
    }
}

TEST_F(CommandTest, ValueParamCountsAreCached) {
    EXPECT_EQ(command.IsValueParam(11), 0);  // "One-push" button
    EXPECT_EQ(command.IsValueParam(20), 1);
    EXPECT_EQ(command.IsValueParam(-1), 0);
    EXPECT_EQ(command.IsValueParam(kControlCount), 0);
    EXPECT_EQ(command.CountValueParams(), 49);
    EXPECT_EQ(command.CountUserValueParams(), 38);
    g_controlTable[20].kind = Button;
    EXPECT_EQ(command.CountValueParams(), 49);
    EXPECT_EQ(command.CountUserValueParams(), 38);
    ResetControlTable();
}

}  // namespace
}  // namespace vela
