// What the camera receives during the tool's long operations, with the window's receive
// timer and message pump running between the transactions as they do in the tool: the
// whole read at start-up, a setting file applied from the main window and a LUT written
// through the camera layer. How the tool waits for answers may change; the lines, their
// order and their number may not.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <string>

#include "app/registrysettings.h"
#include "camera/luttransfer.h"
#include "protocol/command.h"
#include "protocol/controlids.h"
#include "support/mainwindowfixture.h"
#include "support/tempconfig.h"

namespace vela::test {
namespace {

// A LUT transfer's window lets the other windows run after every entry, and nothing else.
struct PumpingLutProgress : LutTransferProgress {
    void Start(const std::string&) override {}
    void SetMessage(const std::string&) override {}
    void SetPos(int) override {}
    void Finish() override {}
    void EntryDone() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
};

const char* const kSettingFile[] = {
    "MD00=vela-4k-mono",
    "DV=1.02",
    "TG=1",
    "TI=0",
    "TA=2",
    "ARST=1",
    "EM=1",
    "PE=750",
    "LR=6000",
    "AL=300",
    "BI=1",
    "HB=2",
    "HBM=1",
    "BA=1",
    "TAGM=3",
    "CLC=2",
    "GA=640",
    "ABG=1",
    "BL=-12",
    "SDC=2",
    "PGC=2",
    "PBC=2",
    "LUN=1",
    "GMA=4",
    "TMPS0=1",
    "LS0=5",
    "SS=1",
    "MF=1",
    "GA4A00=60",
    "GA4B00=70",
    "ga8k00 = &H50",
    "BL4A00=10",
    "BL4B00=11",
    "BL8K00=12",
    "BYP0=1",
    "GA00=90",
    "PGC00=1",
    "PBC00=1",
};

// Once with the window's 20 ms pace, once with fast answers as a settings file left by an
// earlier run chose them: the window takes the choice up at start.
class WireTraceTest : public MainWindowTest, public ::testing::WithParamInterface<bool> {};

INSTANTIATE_TEST_SUITE_P(Pace, WireTraceTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "FastAnswers" : "Polled"; });

TEST_P(WireTraceTest, StartUpFileApplyAndLutWriteSendTheSameLinesInTheSameOrder) {
    if (GetParam()) RegistrySettings::Instance().SetInt(FastAnswersSetting, 1);
    StartCamera();
    StartWindow(1);
    ASSERT_EQ(Command::Instance().FastAnswers(), GetParam());
    const QAction* item = dlg->findChild<QAction*>(QStringLiteral("cmd%1").arg(ctl::kMenuFastAnswers));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->isChecked(), GetParam());

    const std::string path = ConfigDirForTest() + "/line3.cam";
    std::string text;
    for (const char* line : kSettingFile) text += std::string(line) + "\r\n";
    WriteFile(path, text);
    ASSERT_EQ(dlg->LoadSettingFile(path), 1);

    LutTable table{};
    for (int i = 0; i < 256; ++i) table[static_cast<std::size_t>(i)] = i == 255 ? 4095 : 16 * i;
    PumpingLutProgress lutProgress;
    WriteLutTable(Command::Instance(), table, lutProgress);

    // Start-up: model and area, then the model again and the 39 rows of the factory mode.
    const Strings startUp = {
        "MD?",     "EA?",    "MD?",   "CBDRT?", "TG?",     "TI?",     "TA?",     "ARST?",   "EM?",
        "PE?",     "LR?",    "AL?",   "BI?",    "HB?",     "HBM?",    "BA?",     "TAGM?",   "CLC?",
        "TS?",     "GA?",    "ABG?",  "BL?",    "SDC?",    "PGC?",    "PBC?",    "LUN?",    "GMA?",
        "TMPS0?",  "LS0?",   "SS?",   "MF?",    "GA4A00?", "GA4B00?", "GA8K00?", "BL4A00?", "BL4B00?",
        "BL8K00?", "BAS00?", "BYP0?", "GA00?",  "PGC00?",  "PBC00?",
    };
    // The file: the model line as written and read back, the device-version line not sent,
    // every value line as the camera's name and a decimal value.
    const Strings fileApply = {
        "MD00=VELA-4K-MONO",
        "MD?",
        "TG=1",
        "TI=0",
        "TA=2",
        "ARST=1",
        "EM=1",
        "PE=750",
        "LR=6000",
        "AL=300",
        "BI=1",
        "HB=2",
        "HBM=1",
        "BA=1",
        "TAGM=3",
        "CLC=2",
        "GA=640",
        "ABG=1",
        "BL=-12",
        "SDC=2",
        "PGC=2",
        "PBC=2",
        "LUN=1",
        "GMA=4",
        "TMPS0=1",
        "LS0=5",
        "SS=1",
        "MF=1",
        "GA4A00=60",
        "GA4B00=70",
        "GA8K00=80",
        "BL4A00=10",
        "BL4B00=11",
        "BL8K00=12",
        "BYP0=1",
        "GA00=90",
        "PGC00=1",
        "PBC00=1",
    };
    const Strings received = camera->ReceivedLines();
    ASSERT_EQ(received.size(), startUp.size() + fileApply.size() + 512);
    EXPECT_EQ(Strings(received.begin(), received.begin() + 42), startUp);
    EXPECT_EQ(Strings(received.begin() + 42, received.begin() + 80), fileApply);

    // The LUT: index, then value, for every entry in turn.
    const Strings lut(received.begin() + 80, received.end());
    EXPECT_EQ(Strings(lut.begin(), lut.begin() + 6),
              (Strings{"LUTI=0", "LUTD=0", "LUTI=1", "LUTD=16", "LUTI=2", "LUTD=32"}));
    EXPECT_EQ(Strings(lut.end() - 4, lut.end()), (Strings{"LUTI=254", "LUTD=4064", "LUTI=255", "LUTD=4095"}));
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(lut[static_cast<std::size_t>(2 * i)], "LUTI=" + std::to_string(i));
        EXPECT_EQ(lut[static_cast<std::size_t>(2 * i + 1)], "LUTD=" + std::to_string(table[i]));
    }
    EXPECT_EQ(camera->WithCore([](sim::CameraCore& c) { return c.Lut(200); }), 3200);
    EXPECT_TRUE(prompt.entries().empty()) << prompt.texts().front();
}

}  // namespace
}  // namespace vela::test
