// Camera setting files against the simulated camera: what a save writes, byte for byte,
// and what a load sends, takes over and reports.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "camera/settingfile.h"
#include "protocol/onlinestatusregistry.h"
#include "support/camerafixture.h"
#include "support/stopwatch.h"
#include "support/tempconfig.h"

namespace vela {
namespace {

using test::ReadFile;
using test::Strings;
using test::WriteFile;

const Strings kUserRows = {"TG",  "TI",  "TA",  "ARST", "EM",    "PE",  "LR",  "AL", "BI",
                           "HB",  "HBM", "BA",  "TAGM", "CLC",   "GA",  "ABG", "BL", "SDC",
                           "PGC", "PBC", "LUN", "GMA",  "TMPS0", "LS0", "SS",  "MF"};
const Strings kFactoryRows = {"GA4A00", "GA4B00", "GA8K00", "BL4A00", "BL4B00",
                              "BL8K00", "BYP0",   "GA00",   "PGC00",  "PBC00"};

Strings AllRows() {
    Strings rows = kUserRows;
    rows.insert(rows.end(), kFactoryRows.begin(), kFactoryRows.end());
    return rows;
}

Strings SplitCrLf(const std::string& content) {
    Strings lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back("<unterminated>" + content.substr(start));
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The names of "NAME=value" lines, in order.
Strings Names(const Strings& lines) {
    Strings names;
    for (const std::string& line : lines) names.push_back(line.substr(0, line.find('=')));
    return names;
}

// A folder for the test's files, beside nothing else.
std::string FileFolder() {
    const std::string folder = test::ConfigDirForTest() + "/files";
    std::filesystem::create_directories(folder);
    return folder;
}

std::string TempPath(const std::string& name) {
    return FileFolder() + "/" + name;
}

class SettingFileTest : public test::CameraTest {
  protected:
    // Moves every file parameter of the camera away from its default, to a value it accepts.
    void MoveEveryParameter() {
        for (const std::string& name : AllRows()) {
            const bool moved = camera->WithCore([&](sim::CameraCore& c) {
                const long long d = *c.Value(name);
                for (long long v : {d + 1, d - 1}) {
                    if (c.HandleLine(name + "=" + std::to_string(v)) == Strings{"COMPLETE"}) return true;
                }
                return false;
            });
            ASSERT_TRUE(moved) << name;
        }
    }
    long long CameraValue(const std::string& name) {
        return camera->WithCore([&](sim::CameraCore& c) { return *c.Value(name); });
    }
    int Load(const std::string& content, int controlMode = 1) {
        const std::string path = TempPath("load.cam");
        WriteFile(path, content);
        return LoadSettingFile(path, command, model, controlMode, progress).Ok() ? 1 : 0;
    }
};

// The test that matters most: one camera's settings, saved and applied to another camera
// with other values and another model, arrive whole.
TEST_F(SettingFileTest, AllDataRoundTripCarriesEveryParameterToAnotherCamera) {
    Connect();
    MoveEveryParameter();
    std::map<std::string, long long> first;
    for (const std::string& name : AllRows()) first[name] = CameraValue(name);
    ReadParameterRows(command, model, 1, progress);

    const std::string path = TempPath("camera.cam");
    ASSERT_TRUE(SaveSettingFile(path, SettingFileKind::AllData, command, model, 1).Ok());
    const std::string content = ReadFile(path);
    const Strings lines = SplitCrLf(content);
    ASSERT_EQ(lines.size(), 38u) << content;
    EXPECT_EQ(lines[0], "MD00=VELA-4K-MONO");
    EXPECT_EQ(lines[1], "DV=1.0.2.0");
    EXPECT_EQ(Names(Strings(lines.begin() + 2, lines.end())), AllRows());
    EXPECT_EQ(lines[2 + 14], "GA=" + std::to_string(first["GA"]));
    EXPECT_EQ(content.find('\n'), content.find("\r\n") + 1);  // no bare LF anywhere
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 38);

    sim::CameraOptions other;
    other.model = "VELA-8K-MONO2";
    Connect(other, {}, 4);
    ResetControlTable();
    for (const std::string& name : AllRows()) ASSERT_NE(CameraValue(name), first[name]) << name;

    progress = {};
    ASSERT_TRUE(LoadSettingFile(path, command, model, 1, progress).Ok());
    for (const std::string& name : AllRows()) EXPECT_EQ(CameraValue(name), first[name]) << name;
    EXPECT_EQ(camera->WithCore([](sim::CameraCore& c) { return c.Text("MD"); }), "VELA-4K-MONO");
    EXPECT_EQ(model.Name(), "VELA-4K-MONO");  // read again after MD00
    EXPECT_EQ(camera->WithCore([](sim::CameraCore& c) { return c.Text("DV"); }), "1.0.2.0");
    EXPECT_EQ(command.GetDataValue(kCtrlGA), first["GA"]);
    EXPECT_EQ(command.GetSavedDataValue(kCtrlGA), first["GA"]);  // snapshot taken
    EXPECT_TRUE(events.entries().empty()) << events.texts()[0];
    EXPECT_EQ(progress.messages, Strings{"Now, reading camera setting file."});
    EXPECT_EQ(progress.finished, 1);
}

TEST_F(SettingFileTest, UserModeAndShippingDataWriteTheirRows) {
    Connect();
    ReadParameterRows(command, model, 1, progress);
    progress = {};
    camera->ClearLines();
    const std::string all = TempPath("all.cam");
    ASSERT_TRUE(SaveSettingFile(all, SettingFileKind::AllData, command, model, 0).Ok());
    Strings lines = SplitCrLf(ReadFile(all));
    ASSERT_EQ(lines.size(), 27u);
    EXPECT_EQ(lines[0], "DV=1.0.2.0");
    EXPECT_EQ(Names(Strings(lines.begin() + 1, lines.end())), kUserRows);
    EXPECT_EQ(camera->ReceivedLines(), Strings{"DV?"});  // no model query in the user mode

    camera->ClearLines();
    const std::string shipping = TempPath("shipping.cam");
    ASSERT_TRUE(SaveSettingFile(shipping, SettingFileKind::ShippingData, command, model, 0).Ok());
    EXPECT_EQ(Names(SplitCrLf(ReadFile(shipping))), AllRows());
    EXPECT_TRUE(camera->ReceivedLines().empty());

    // Applied in the user mode, the ten factory lines are skipped without a word.
    ASSERT_TRUE(LoadSettingFile(shipping, command, model, 0, progress).Ok());
    Strings expected;
    for (const std::string& name : kUserRows) {
        expected.push_back(name + "=" +
                           std::to_string(command.GetDataValue(command.ToCtrlId(FindCommand(name)))));
    }
    EXPECT_EQ(camera->ReceivedLines(), expected);
    EXPECT_TRUE(events.entries().empty());
    EXPECT_EQ(progress.positions.size(), 36u);
}

// The device version goes into the file as the camera answered it, and a DV line is never
// sent back: the version is identity, not a setting.
TEST_F(SettingFileTest, DeviceVersionLineIsWrittenAsAnsweredAndNeverSent) {
    Connect();
    camera->WithCore([](sim::CameraCore& c) { return c.SetText("DV", "2.10.0.7"); });
    const std::string path = TempPath("dv.cam");
    ASSERT_TRUE(SaveSettingFile(path, SettingFileKind::AllData, command, model, 1).Ok());
    const Strings lines = SplitCrLf(ReadFile(path));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "DV=2.10.0.7");

    camera->ClearLines();
    EXPECT_EQ(Load("DV=9.9.9.9\r\nDV=\r\nGA=200\r\n"), 1);
    EXPECT_EQ(camera->ReceivedLines(), Strings{"GA=200"});
    EXPECT_EQ(camera->WithCore([](sim::CameraCore& c) { return c.Text("DV"); }), "2.10.0.7");

    // No answer to DV: no line for it.
    camera->SetFailure(sim::FailureMode::WrongName);
    ASSERT_TRUE(SaveSettingFile(path, SettingFileKind::AllData, command, model, 0).Ok());
    EXPECT_EQ(Names(SplitCrLf(ReadFile(path))), kUserRows);
}

TEST_F(SettingFileTest, HandEditedLinesAreParsedSentAndTakenOver) {
    Connect();
    EXPECT_EQ(Load("ga = &H64\n"
                   "GA=5000\n"
                   "UD=ABC\n"
                   "MD00=vela-4k-mono\n"
                   "TS=1\n"
                   "GA4A00=120\n"
                   "GA?\n"
                   "no line at all\n"
                   "\n"
                   "BL=-20"),
              1);
    EXPECT_EQ(camera->ReceivedLines(),
              (Strings{"GA=100", "GA=5000", "MD00=VELA-4K-MONO", "MD?", "GA4A00=120", "BL=-20"}));
    // The refusal is reported and the value taken over all the same; no clamping.
    const Strings texts = events.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[0].find("ERROR"), std::string::npos) << texts[0];
    EXPECT_EQ(events.entries()[0].caption, "Communication Error");
    EXPECT_EQ(texts[1], "Unexpected error occurred in ToCtrlId(): Command id is 6");
    EXPECT_EQ(command.GetDataValue(kCtrlGA), 5000);
    EXPECT_EQ(command.GetDataValue(kCtrlGA4A00), 120);
    EXPECT_EQ(command.GetDataValue(kCtrlBL), -20);
    EXPECT_EQ(command.GetDataValue(kCtrlTS), 0);
}

TEST_F(SettingFileTest, ProgressCountsLinesAndPiecesOfLongLines) {
    Connect();
    std::string ten;
    for (int i = 0; i < 10; ++i) ten += "GA=" + std::to_string(100 + i) + "\r\n";
    EXPECT_EQ(Load(ten), 1);
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
    EXPECT_EQ(progress.drains, 10);
    EXPECT_EQ(progress.finished, 1);

    // A 1000-character line comes in pieces of 255: 255, 255, 255, 235 and the LF.
    progress = {};
    camera->ClearLines();
    EXPECT_EQ(Load(std::string(1000, 'x') + "\n" + "GA=" + std::string(997, '1') + "\nGA=300"), 1);
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 11, 22, 33, 44, 55, 66, 77, 88}));
    // The first piece of the long GA line parses on its own, its value saturated.
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA=2147483647", "GA=300"}));
}

TEST_F(SettingFileTest, BadFilesAreSkippedWithoutHarm) {
    Connect();
    EXPECT_EQ(Load(""), 1);
    EXPECT_TRUE(progress.positions.empty());
    EXPECT_EQ(progress.finished, 1);

    std::mt19937 random(14);
    std::string binary;
    for (int i = 0; i < 64 * 1024; ++i) binary += static_cast<char>(random() & 0xff);
    EXPECT_EQ(Load(binary), 1);
    camera->ClearLines();

    // 10 MB of random printable lines, '=' included.
    std::string lines;
    while (lines.size() < 10u * 1024 * 1024) {
        const int length = static_cast<int>(random() % 120);
        for (int i = 0; i < length; ++i) lines += static_cast<char>(' ' + random() % 95);
        lines += random() % 2 ? "\r\n" : "\n";
    }
    EXPECT_EQ(Load(lines), 1);
    // The few random lines that happen to name a command go out as clean writes; nothing
    // else reaches the camera.
    for (const std::string& line : camera->ReceivedLines()) {
        const std::string name = line.substr(0, line.find('='));
        EXPECT_GE(FindCommand(name), 0) << line;
        if (name != "MD00") {
            EXPECT_EQ(line, name + "=" + std::to_string(std::stoi(line.substr(name.size() + 1))));
        }
    }
}

TEST_F(SettingFileTest, CameraGoingSilentCostsEachRemainingLineItsTimeout) {
    Connect();
    progress.onLine = [this](std::size_t line) {
        if (line == 3) camera->SetFailure(sim::FailureMode::Silent);
    };
    const test::Stopwatch stopwatch;
    EXPECT_EQ(Load("GA=110\nGA=120\nGA=130\nBL=5\n"), 1);
    const std::uint32_t elapsed = stopwatch.Ms();
    EXPECT_GE(elapsed, 2u * kSettingFileValueTimeoutMs);
    EXPECT_LT(elapsed, 60000u);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA=110", "GA=120", "GA=130", "BL=5"}));
    EXPECT_FALSE(command.Online().IsOnline());
    EXPECT_EQ(command.GetDataValue(kCtrlBL), 5);  // taken over without an answer
    EXPECT_EQ(progress.finished, 1);
}

TEST_F(SettingFileTest, FilesThatCannotBeOpenedOrWrittenSayWhich) {
    Connect();
    const std::string missing = TempPath("no such folder/x.cam");
    struct Case {
        std::string path;
        ActionReport report;
    };
    std::vector<Case> cases = {
        {missing, SaveSettingFile(missing, SettingFileKind::ShippingData, command, model, 0)},
        {missing, LoadSettingFile(missing, command, model, 0, progress)},
        {FileFolder(), LoadSettingFile(FileFolder(), command, model, 0, progress)},
    };
    // A file this user may not read (root may read it: the unprivileged run checks it).
    const std::string unreadable = TempPath("unreadable.cam");
    WriteFile(unreadable, "GA=100\r\n");
    ::chmod(unreadable.c_str(), 0);
    if (::geteuid() != 0)
        cases.push_back({unreadable, LoadSettingFile(unreadable, command, model, 0, progress)});
    for (const auto& c : cases) {
        EXPECT_EQ(c.report.result.kind, Result::Kind::FileError);
        EXPECT_EQ(c.report.result.path, c.path);
        ASSERT_EQ(c.report.messages.size(), 1u);
        EXPECT_EQ(c.report.messages[0].text, c.path + "\nCouldn't open this file");
        EXPECT_EQ(c.report.messages[0].caption, "File Open Error");
        EXPECT_EQ(c.report.messages[0].icon, PromptIcon::Exclamation);
    }
    EXPECT_TRUE(prompt.entries().empty());
    EXPECT_TRUE(progress.messages.empty());
    EXPECT_TRUE(camera->ReceivedLines().empty());
}

// An existing file is replaced whole, through a symbolic link too, and keeps its mode.
TEST_F(SettingFileTest, SaveReplacesAnExistingFileWhole) {
    Connect();
    // A folder of its own, so that the other cases' files in the same process do not count.
    const std::string folder = FileFolder() + "/replace";
    std::filesystem::create_directories(folder);
    const std::string target = folder + "/target.cam";
    const std::string link = folder + "/link.cam";
    WriteFile(target, "old contents\r\n");
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, link);

    ASSERT_TRUE(SaveSettingFile(link, SettingFileKind::ShippingData, command, model, 0).Ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Names(SplitCrLf(ReadFile(target))), AllRows());
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // No temporary file left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
}

}  // namespace
}  // namespace vela
