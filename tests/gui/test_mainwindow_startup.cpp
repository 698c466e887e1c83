// The main window's start-up against the simulated camera: connect, baud-rate search,
// model check and the whole-camera read, as the operator sees them on the pages.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "camera/valuecommit.h"
#include "dialogs/progressbardialog.h"
#include "dialogs/statusstrip.h"
#include "mainwindow/mainmenu.h"
#include "mainwindow/spineditbox.h"
#include "protocol/command.h"
#include "protocol/controlids.h"
#include "protocol/onlinestatusregistry.h"
#include "support/mainwindowfixture.h"
#include "support/rawpty.h"
#include "support/stopwatch.h"
#include "support/tempconfig.h"
#include "transport/seriallink.h"

namespace vela::test {
namespace {

using namespace ctl;

const QColor kGreen = QColor::fromRgb(kOnlineBarRgb);
const QColor kRed = QColor::fromRgb(kOfflineBarRgb);

bool UtilityMenuEnabled(CCtrlToolDlg& dlg) {
    QAction* utility = dlg.MenuBar()->actions().at(kUtilityMenuPosition);
    return utility->isEnabled() && utility->menu()->isEnabled();
}

int CountText(const RecordingPrompt& prompt, const std::string& text) {
    const Strings texts = prompt.texts();
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

TEST_F(MainWindowTest, StartsAt9600AndReadsTheWholeCameraInUserMode) {
    StartCamera();
    camera->WithCore([](sim::CameraCore& c) {
        c.SetValue("GA", 800);
        c.SetValue("LS0", 5);
        c.SetValue("LR", 1000);
        c.SetValue("HB", 2);
        c.SetValue("GA4A00", 120);
        return 0;
    });
    StartWindow(0);

    // Model and area, then the model again and the 28 user rows in table order.
    EXPECT_EQ(camera->ReceivedLines(), Concat({"MD?", "EA?", "MD?"}, UserModeQueries()));
    EXPECT_TRUE(prompt.entries().empty()) << prompt.texts().front();

    EXPECT_EQ(Control<SpinEditBox>(kGainLevel)->EditText(), QStringLiteral("800"));
    EXPECT_EQ(dlg->GetControlValue(kGainLevelSpin), 800);
    EXPECT_EQ(Control<QComboBox>(kLineSource1)->currentText(), QStringLiteral("Lval"));
    EXPECT_EQ(Control<QComboBox>(kBinningH)->currentText(), QStringLiteral("Binning On"));
    EXPECT_EQ(Control<QLabel>(kLinePeriodLabel)->text(), QStringLiteral("10.00us"));
    EXPECT_EQ(Control<QComboBox>(kCameraModelList)->currentText(), QStringLiteral("VELA-4K-MONO"));
    // Factory rows are not read in user mode.
    EXPECT_EQ(Command::Instance().GetDataValue(kFactoryGain4KA), 50);

    // Online, the window enabled again, the progress window gone, nothing left to send.
    EXPECT_TRUE(OnlineStatusRegistry::Instance().IsOnline());
    EXPECT_EQ(dlg->StatusBar()->FillColor(), kGreen);
    EXPECT_TRUE(dlg->isEnabled());
    EXPECT_FALSE(CProgressBarDialog::Instance().IsUp());
    camera->ClearLines();
    EXPECT_EQ(SendChangedValues(Command::Instance()), 1);
    EXPECT_TRUE(camera->ReceivedLines().empty());

    EXPECT_EQ(dlg->TabControl()->count(), 2);
    EXPECT_FALSE(UtilityMenuEnabled(*dlg));
    EXPECT_EQ(panel.shown, 1);
    EXPECT_TRUE(panel.baudSelections.empty());
    EXPECT_GE(panel.modeUpdates, 1);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("VELA-4K/8K Control Tool  Ver 0.20"));
}

TEST_F(MainWindowTest, FactoryModeReadsTheFactoryRowsToo) {
    StartCamera();
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("GA4A00", 120); });
    StartWindow(1);

    EXPECT_EQ(camera->ReceivedLines(), Concat({"MD?", "EA?", "MD?"}, FactoryModeQueries()));
    EXPECT_EQ(Control<SpinEditBox>(kFactoryGain4KA)->EditText(), QStringLiteral("120"));
    EXPECT_EQ(dlg->TabControl()->count(), 3);
    EXPECT_TRUE(UtilityMenuEnabled(*dlg));
}

TEST_F(MainWindowTest, HexadecimalAnswerShowsAsDecimal) {
    RawPty pty;
    ASSERT_TRUE(pty.Ok());
    pty.LinkAsComPort(1);
    pty.SetResponder([](const std::string& line) {
        std::string answer = "COMPLETE";
        if (line == "MD?") {
            answer = "MD=VELA-8K-MONO";
        } else if (line == "GA?") {
            answer = "GA=&H640";
        } else if (!line.empty() && line.back() == '?') {
            answer = line.substr(0, line.size() - 1) + "=0";
        }
        return std::vector<RawPty::Chunk>{{answer + "\r\n", 0}};
    });
    StartWindow(0);

    EXPECT_EQ(Control<SpinEditBox>(kGainLevel)->EditText(), QStringLiteral("1600"));
    EXPECT_EQ(Command::Instance().GetDataValue(kGainLevel), 1600);
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(MainWindowTest, ProbeFindsTheCameraAt38400) {
    sim::CameraOptions options;
    options.baudRate = 38400;
    StartCamera(options);
    const std::uint32_t elapsed = StartWindow(0);

    // 115200 and 57600 stay silent; 38400 answers and the search stops there.
    EXPECT_EQ(panel.baudSelections, (std::vector<int>{4, 3, 2}));
    EXPECT_EQ(SerialLink::Instance().GetBaudRate(), 38400);
    EXPECT_EQ(camera->GarbledLines(), 4);  // MD and EA at 9600, MD at 115200 and 57600
    EXPECT_EQ(camera->ReceivedLines(), Concat({"MD?", "MD?"}, UserModeQueries()));
    EXPECT_TRUE(OnlineStatusRegistry::Instance().IsOnline());
    // The unanswered 1000 ms model queries and the 5000 ms area query at 9600.
    EXPECT_GE(elapsed, 8000u);
}

TEST_F(MainWindowTest, SilentCameraLeavesTheToolOfflineWithInitialValues) {
    sim::WireOptions wire;
    wire.failure = sim::FailureMode::Silent;
    StartCamera({}, wire);
    const std::uint32_t elapsed = StartWindow(0);

    EXPECT_GE(elapsed, 11000u);
    EXPECT_LT(elapsed, 40000u);
    EXPECT_EQ(panel.baudSelections, (std::vector<int>{4, 3, 2, 1, 0}));
    EXPECT_EQ(SerialLink::Instance().GetBaudRate(), 9600);
    EXPECT_TRUE(prompt.entries().empty());
    EXPECT_FALSE(OnlineStatusRegistry::Instance().IsOnline());
    EXPECT_EQ(dlg->StatusBar()->FillColor(), kRed);
    EXPECT_EQ(Control<SpinEditBox>(kGainLevel)->EditText(), QStringLiteral("100"));
    EXPECT_EQ(Control<SpinEditBox>(kGamma)->EditText(), QStringLiteral("8"));
    EXPECT_EQ(dlg->TabControl()->count(), 2);
    // The page rules hold for the initial values too: the LUT is off, no correction mode
    // is on, the trigger is internal, and no model was identified.
    EXPECT_TRUE(dlg->FindControl(kGamma)->isHidden());
    EXPECT_TRUE(dlg->FindControl(kGammaLabel)->isHidden());
    for (const int id :
         {kRecalibrateShading, kRecalibratePixelGain, kRecalibratePixelBlack, kOpenLutTable, kAutoResetMode})
        EXPECT_FALSE(dlg->FindControl(id)->isEnabled()) << id;
    EXPECT_EQ(Control<QComboBox>(kCameraModelList)->currentIndex(), -1);
    EXPECT_EQ(Control<QComboBox>(kCameraModelList)->currentText(), QString());
}

TEST_F(MainWindowTest, PortThatCannotBeOpenedIsReportedOnce) {
    const std::filesystem::path ports = std::filesystem::path(ConfigDirForTest()) / "ports";
    std::filesystem::create_directories(ports);
    std::filesystem::create_symlink("/nonexistent/tty-for-test", ports / "COM1");
    StartWindow(0);

    EXPECT_EQ(CountText(prompt, "Failed to initialize!"), 1);
    // The probe still ran through every rate; each step reopens the port.
    EXPECT_EQ(panel.baudSelections, (std::vector<int>{4, 3, 2, 1, 0}));
    EXPECT_FALSE(OnlineStatusRegistry::Instance().IsOnline());
    EXPECT_EQ(Command::Instance().GetDataValue(kGainLevel), 100);
}

TEST_F(MainWindowTest, UnsupportedModelIsReportedTwiceAndNothingIsRead) {
    sim::CameraOptions options;
    options.model = "OTHER-CAM";
    StartCamera(options);
    StartWindow(0);

    const std::string message = "Unsupported model: \"OTHER-CAM\"";
    EXPECT_EQ(CountText(prompt, message), 2);
    EXPECT_EQ(prompt.entries().size(), 2u);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"MD?", "EA?", "MD?"}));
    EXPECT_FALSE(CProgressBarDialog::Instance().IsUp());
    EXPECT_TRUE(dlg->isEnabled());
}

TEST_F(MainWindowTest, ReloadReadsTheAreaThenTheWholeCamera) {
    StartCamera();
    StartWindow(0);
    camera->ClearLines();
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("BL", -20); });

    dlg->OnMenuCommand(kMenuReload);

    EXPECT_EQ(camera->ReceivedLines(), Concat({"EA?", "MD?"}, UserModeQueries()));
    EXPECT_EQ(Control<SpinEditBox>(kBlackLevel)->EditText(), QStringLiteral("-20"));
}

// The menu bar as the operator sees it: each menu's caption and whether it can be opened,
// then its items in order with their command ids; "-" is a separator, "a > b" an item of
// the submenu a.
std::vector<std::string> MenuListing(QMenuBar& bar) {
    std::vector<std::string> rows;
    std::function<void(const QMenu&, const std::string&)> items = [&](const QMenu& menu,
                                                                      const std::string& path) {
        for (QAction* action : menu.actions()) {
            if (action->isSeparator()) {
                rows.push_back(path + "-");
            } else if (action->menu()) {
                items(*action->menu(), path + action->text().toStdString() + " > ");
            } else {
                rows.push_back(path + action->text().toStdString() + " " +
                               std::to_string(action->data().toInt()) +
                               (action->isCheckable() ? (action->isChecked() ? " [x]" : " [ ]") : ""));
            }
        }
    };
    for (QAction* top : bar.actions()) {
        const bool open = top->isEnabled() && top->menu()->isEnabled();
        rows.push_back(top->text().toStdString() + (open ? "" : " (greyed)"));
        items(*top->menu(), "  ");
    }
    return rows;
}

TEST_F(MainWindowTest, MenusListTheirItemsInOrderWithTheirIdsInBothControlModes) {
    StartCamera();
    StartWindow(0);
    const auto expected = [](bool factory) {
        return std::vector<std::string>{"File(&F)",
                                        "  &Open 30008",
                                        "  &Save as > All Data 30011",
                                        "  &Save as > Shipping Data 30012",
                                        "  -",
                                        "  E&xit 2",
                                        "Settings(&S)",
                                        "  &Reload 30002",
                                        "  -",
                                        "  &Load settings 30004",
                                        "  &Store settings 30003",
                                        "  -",
                                        "  Fast answers 30013 [ ]",
                                        factory ? "Utility(&U)" : "Utility(&U) (greyed)",
                                        "  Edit user id 30000",
                                        "  Edit camera id 30005",
                                        "LUT(&L)",
                                        "  &Open LUT file 30006",
                                        "  &Save LUT file 30007",
                                        "  -",
                                        "  &Load all LUT table 30009",
                                        "Help(&H)",
                                        "  &About this application 30001",
                                        "  &Open Communication Dialog 30010"};
    };
    EXPECT_EQ(MenuListing(*dlg->MenuBar()), expected(false));
    dlg->ToggleControlMode();
    EXPECT_EQ(MenuListing(*dlg->MenuBar()), expected(true));
}

// The whole-camera refresh in user mode at 115200 bit/s with bytes paced at the line
// rate, next to its floor: 28 queries whose answers are first looked at after 20 ms.
TEST_F(MainWindowTest, WholeReadAt115200IsMeasured) {
    sim::CameraOptions options;
    options.baudRate = 115200;
    sim::WireOptions wire;
    wire.paceBytes = true;
    StartCamera(options, wire);
    StartWindow(0);
    ASSERT_EQ(SerialLink::Instance().GetBaudRate(), 115200);

    camera->ClearLines();
    const vela::test::Stopwatch start;
    dlg->ReadCameraSettings();
    const std::uint32_t elapsed = start.Ms();

    ASSERT_EQ(camera->ReceivedLines(), Concat({"MD?"}, UserModeQueries()));
    const std::uint32_t queries = elapsed - CProgressBarDialog::kFinishPauseMs;
    std::printf(
        "whole read, user mode, 115200 bit/s: %u ms in all, %u ms without the 1000 ms pause of the "
        "progress window (29 queries with MD; floor 28 x 20 ms = 560 ms)\n",
        elapsed, queries);
    RecordProperty("whole_read_ms", static_cast<int>(elapsed));
    EXPECT_GE(elapsed, 28u * 20u + CProgressBarDialog::kFinishPauseMs);
    EXPECT_LT(elapsed, 15000u);
}

}  // namespace
}  // namespace vela::test
