// Gamma files: the writer's two layouts and the lenient reader with the messages it returns
// (it shows no box itself).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "camera/gammafile.h"
#include "support/recordingprompt.h"
#include "support/tempconfig.h"

namespace vela {
namespace {

using test::ReadFile;
using test::WriteFile;

class GammaFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (std::size_t k = 0; k < 3; ++k) tables[k].fill(static_cast<int>(1000 + k));
    }
    std::string Path(const std::string& name) const { return test::ConfigDirForTest() + "/" + name; }
    void TearDown() override { EXPECT_TRUE(prompt.entries().empty()); }
    // Reads `text` as a file's content.
    ActionReport Read(const std::string& text) {
        const std::string path = Path("in.csv");
        WriteFile(path, text);
        return ReadGammaFile(path, refs);
    }
    static std::string Lines(int count, const std::string& eol = "\r\n") {
        std::string text;
        for (int i = 0; i < count; ++i) text += std::to_string(i * 3) + eol;
        return text;
    }

    static std::vector<std::string> Texts(const ActionReport& report) {
        std::vector<std::string> texts;
        for (const ActionMessage& message : report.messages) texts.push_back(message.text);
        return texts;
    }

    RecordingPrompt prompt;
    std::array<LutTable, 3> tables{};
    LutTableRefs refs{&tables[0], &tables[1], &tables[2]};
};

TEST_F(GammaFileTest, MonochromeFileReadsBackIntoEditorOne) {
    for (int i = 0; i < 256; ++i) tables[1][i] = (i * 37) % 4096;
    const LutTable written = tables[1];
    const std::string path = Path("mono.csv");
    ASSERT_TRUE(WriteGammaFile(path, true, refs).Ok());

    const std::string text = ReadFile(path);
    EXPECT_EQ(text.substr(0, 16), "GammaData\r\n0\r\n37");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 257);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 257);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    tables[1].fill(7);
    const ActionReport report = ReadGammaFile(path, refs);
    ASSERT_TRUE(report.Ok());
    EXPECT_EQ(tables[1], written);
    EXPECT_EQ(tables[0], LutTable{});
    EXPECT_EQ(tables[2], LutTable{});  // no second column: 0
    EXPECT_TRUE(report.messages.empty());
}

TEST_F(GammaFileTest, UnsupportedModelWritesThreeColumnsTheReaderRejects) {
    tables[0][0] = 1;
    tables[1][0] = 22;
    tables[2][0] = 333;
    const std::string path = Path("rgb.csv");
    ASSERT_TRUE(WriteGammaFile(path, false, refs).Ok());
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.substr(0, 30), "GammaData (R G B)\r\n1,22,333\r\n1");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 257);

    // Rejected at its first data line: nothing changes.
    const auto before = tables;
    const ActionReport report = ReadGammaFile(path, refs);
    EXPECT_EQ(report.result.kind, Result::Kind::FileError);
    ASSERT_EQ(Texts(report), std::vector<std::string>{"Invaild data count format"});
    EXPECT_EQ(report.messages[0].icon, PromptIcon::Stop);
    EXPECT_EQ(tables, before);
}

TEST_F(GammaFileTest, SecondCommaStopsWithEarlierEntriesKept) {
    const ActionReport report = Read("h\n5,6\n7,8\n9,1,2\n11\n");
    EXPECT_FALSE(report.Ok());
    EXPECT_EQ(Texts(report), std::vector<std::string>{"Invaild data count format"});
    EXPECT_EQ(tables[1][0], 5);
    EXPECT_EQ(tables[2][1], 8);
    EXPECT_EQ(tables[0][1], 0);
    EXPECT_EQ(tables[1][2], 1001);  // the rejected line and everything after it: untouched
    EXPECT_EQ(tables[1][3], 1001);
}

TEST_F(GammaFileTest, OnlyDigitsAndCommasCount) {
    const ActionReport report = Read("99\r\n12,34\r\n-5\r\n1.5\r\n\r\n 4 0 9 5 \r\n,7\r\nabc\r\n");
    ASSERT_TRUE(report.Ok());
    const std::vector<int> one(tables[1].begin(), tables[1].begin() + 8);
    const std::vector<int> two(tables[2].begin(), tables[2].begin() + 8);
    EXPECT_EQ(one, (std::vector<int>{12, 5, 15, 0, 4095, 0, 0, 1001}));
    EXPECT_EQ(two, (std::vector<int>{34, 0, 0, 0, 0, 7, 0, 1002}));
    EXPECT_EQ(tables[0][0], 0);
    EXPECT_TRUE(report.messages.empty());
}

TEST_F(GammaFileTest, FirstLineIsAlwaysDropped) {
    ASSERT_TRUE(Read("17\n18\n").Ok());
    EXPECT_EQ(tables[1][0], 18);
    EXPECT_EQ(tables[1][1], 1001);
}

TEST_F(GammaFileTest, FewerLinesReplaceOnlyThoseEntries) {
    ASSERT_TRUE(Read("GammaData\n" + Lines(10, "\n")).Ok());
    EXPECT_EQ(tables[1][9], 27);
    EXPECT_EQ(tables[1][10], 1001);
    // An empty file and a lone header change nothing and succeed.
    const auto before = tables;
    EXPECT_TRUE(Read("").Ok());
    EXPECT_TRUE(Read("GammaData\r\n").Ok());
    EXPECT_EQ(tables, before);
}

TEST_F(GammaFileTest, BlankLineAfter256IsOneTooMany) {
    const ActionReport tooMany = Read("GammaData\r\n" + Lines(256) + "\r\n");
    EXPECT_FALSE(tooMany.Ok());
    EXPECT_EQ(Texts(tooMany), std::vector<std::string>{"Too many data"});
    EXPECT_EQ(tables[1][255], 765);
    // Exactly 256 lines, the last without its line end, are fine.
    std::string exact = "GammaData\r\n" + Lines(256);
    exact.resize(exact.size() - 2);
    const ActionReport whole = Read(exact);
    EXPECT_TRUE(whole.Ok());
    EXPECT_TRUE(whole.messages.empty());
}

TEST_F(GammaFileTest, ValuesAbove4095AreReportedOncePerFile) {
    const ActionReport clamped = Read("h\n1\n2\n3\n5000,6000\n7\n99999\n");
    ASSERT_TRUE(clamped.Ok());
    EXPECT_EQ(Texts(clamped), std::vector<std::string>{"Invalid data value: Line(3) : Value(5000)"});
    EXPECT_EQ(tables[1][3], 4095);
    EXPECT_EQ(tables[2][3], 4095);
    EXPECT_EQ(tables[1][5], 4095);
    // A run of digits that no int holds is still 4095, reported with the largest int.
    const ActionReport huge = Read("h\n" + std::string(120, '9') + "\n");
    ASSERT_TRUE(huge.Ok());
    EXPECT_EQ(Texts(huge), std::vector<std::string>{"Invalid data value: Line(0) : Value(2147483647)"});
    EXPECT_EQ(tables[1][0], 4095);
}

// A prompt that, while its box is up, lets an editor in Edit Mode repaint: the repaint
// recomputes the editor's table from its edit points.
class RepaintingPrompt final : public Prompt {
  public:
    explicit RepaintingPrompt(LutTable& table) : m_table(table), m_previous(&Prompt::Instance()) {
        Prompt::Install(this);
    }
    ~RepaintingPrompt() override { Prompt::Install(m_previous); }
    PromptAnswer Show(const std::string&, const std::string&, PromptIcon, PromptButtons) override {
        m_table.fill(1);
        return PromptAnswer::Ok;
    }

  private:
    LutTable& m_table;
    Prompt* m_previous;
};

TEST_F(GammaFileTest, ARepaintDuringTheValueMessageKeepsTheEntriesRead) {
    RepaintingPrompt repainting(tables[1]);
    ASSERT_TRUE(Read("h\n10\n20\n5000\n40\n").Ok());
    const std::vector<int> one(tables[1].begin(), tables[1].begin() + 5);
    EXPECT_EQ(one, (std::vector<int>{10, 20, 4095, 40, 1001}));
}

TEST_F(GammaFileTest, LongLinesContinueAsTheNextEntry) {
    // 126 characters fill a piece; the rest of the line is the next entry, and a line
    // end right after a full piece is an empty entry.
    const std::string filler(123, ' ');
    ASSERT_TRUE(Read("h\n" + filler + "123" + "45\n" + filler + "678\r\n9\n").Ok());
    const std::vector<int> one(tables[1].begin(), tables[1].begin() + 5);
    EXPECT_EQ(one, (std::vector<int>{123, 45, 678, 0, 9}));
}

TEST_F(GammaFileTest, FilesThatCannotBeOpened) {
    const auto before = tables;
    const std::string missing = Path("missing.csv");
    std::vector<std::pair<std::string, ActionReport>> cases = {
        {missing, ReadGammaFile(missing, refs)},
        {test::ConfigDirForTest(), ReadGammaFile(test::ConfigDirForTest(), refs)},  // a folder
        {Path("no/such/folder.csv"), WriteGammaFile(Path("no/such/folder.csv"), true, refs)},
    };
#ifndef _WIN32
    // A file this user may not read (root may read it: the unprivileged run checks it).
    const std::string unreadable = Path("unreadable.csv");
    WriteFile(unreadable, "GammaData\r\n1\r\n");
    ::chmod(unreadable.c_str(), 0);
    if (::geteuid() != 0) cases.emplace_back(unreadable, ReadGammaFile(unreadable, refs));
#endif
    for (const auto& [path, report] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(report.result.kind, Result::Kind::FileError);
        EXPECT_EQ(report.result.path, path);
        ASSERT_EQ(Texts(report), std::vector<std::string>{path + "\nCouldn't open this file"});
        EXPECT_EQ(report.messages[0].icon, PromptIcon::Stop);
    }
    EXPECT_EQ(tables, before);
}

}  // namespace
}  // namespace vela
