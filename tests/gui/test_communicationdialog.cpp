// The Communication window against simulated cameras on pseudo-terminals: port choice,
// port search, flash areas, the control-mode items and the message log.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/registrysettings.h"
#include "dialogs/communicationdialog.h"
#include "dialogs/picturecontrol.h"
#include "mainwindow/ctrltooldlg.h"
#include "mainwindow/spineditbox.h"
#include "protocol/controlids.h"
#include "support/linecopy.h"
#include "support/mainwindowfixture.h"
#include "support/rawpty.h"
#include "support/recordinghost.h"
#include "support/recordingprompt.h"
#include "support/scriptedfiledialog.h"
#include "support/tempconfig.h"
#include "support/windowsduringlines.h"
#include "transport/seriallink.h"

namespace vela::test {
namespace {

namespace fs = std::filesystem;
using Dlg = CCommunicationDialog;

constexpr const char* kNoAnswer =
    "No answer from Camera! (Timeout error)\nCheck power on Camera or serial cable connection.";

int CountText(const RecordingPrompt& prompt, const std::string& text) {
    const Strings texts = prompt.texts();
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

// Makes <config>/ports/COMn lead nowhere, so opening it fails at once instead of trying
// the machine's /dev/ttyS<n-1>.
void LinkNowhere(int n) {
    const fs::path ports = fs::path(ConfigDirForTest()) / "ports";
    fs::create_directories(ports);
    const fs::path link = ports / ("COM" + std::to_string(n));
    std::error_code ignored;
    fs::remove(link, ignored);
    fs::create_symlink("/nonexistent/vela-test-port", link);
}

// The Communication window of a real main window, started against a camera on COM1.
class CommunicationTest : public ::testing::Test {
  protected:
    sim::PtyCamera& AddCamera(int comNumber, sim::CameraOptions options = {}) {
        std::unique_ptr<sim::PtyCamera> camera;
        EXPECT_EQ(StartPtyCamera(camera, comNumber, options), "");
        cameras.push_back(std::move(camera));
        return *cameras.back();
    }
    void StartWindow(int controlMode = 0) {
        ControlMode::Instance().Set(controlMode);
        dlg = std::make_unique<CCtrlToolDlg>();
        dlg->OnInitDialog();
        comm = dlg->CommunicationDialog();
        ASSERT_NE(comm, nullptr);
    }
    void TearDown() override {
        dlg.reset();
        for (auto& camera : cameras) camera->Stop();
    }
    template <class W>
    W* Control(int ctrlId) {
        return qobject_cast<W*>(comm->ControlById(ctrlId));
    }
    QStringList Messages() {
        QStringList lines;
        auto* list = Control<QListWidget>(Dlg::kMessageList);
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }
    // Chooses `index` in a drop-down list as the operator does.
    void Choose(int ctrlId, int index) {
        auto* combo = Control<QComboBox>(ctrlId);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    RecordingPrompt prompt;
    std::vector<std::unique_ptr<sim::PtyCamera>> cameras;
    std::unique_ptr<CCtrlToolDlg> dlg;
    CCommunicationDialog* comm = nullptr;
};

TEST_F(CommunicationTest, ShownAtStartUpAsTheMainWindowsPanelWithEveryLineOfTheLog) {
    AddCamera(1);
    StartWindow();
    EXPECT_EQ(dlg->Communication(), comm);
    EXPECT_TRUE(comm->isVisible());
    EXPECT_EQ(comm->windowTitle(), QStringLiteral("Communication"));
    EXPECT_EQ(Control<QLabel>(Dlg::kOnlineText)->text(), QStringLiteral("Online"));
    EXPECT_EQ(Control<PictureControl>(Dlg::kLamp)->CurrentPicture(), PictureControl::Picture::GreenLamp);
    EXPECT_EQ(Control<QComboBox>(Dlg::kCategoryList)->currentIndex(), ComPortKind);
    EXPECT_EQ(Control<QComboBox>(Dlg::kPortList)->count(), 16);
    EXPECT_EQ(Control<QComboBox>(Dlg::kAreaList)->currentText(), QStringLiteral("User 1 Data"));

    // Newest on top: the start-up's first exchange is at the bottom.
    const QStringList lines = Messages();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(lines.size() - 4),
              (QStringList{QStringLiteral("Rx: EA=0"), QStringLiteral("Tx: EA?"),
                           QStringLiteral("Rx: MD=VELA-4K-MONO"), QStringLiteral("Tx: MD?")}));
    const std::size_t sent = cameras[0]->ReceivedLines().size();
    EXPECT_EQ(static_cast<std::size_t>(lines.size()), 2 * sent);

    // Close box, Esc and Enter only hide it; the menu shows it again.
    comm->close();
    EXPECT_FALSE(comm->isVisible());
    dlg->OnMenuCommand(ctl::kMenuOpenCommunication);
    EXPECT_TRUE(comm->isVisible());
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        Control<QComboBox>(Dlg::kPortList)->setFocus();
        QTest::keyClick(Control<QComboBox>(Dlg::kPortList), key);
        EXPECT_FALSE(comm->isVisible()) << key;
        dlg->OnMenuCommand(ctl::kMenuOpenCommunication);
    }
    EXPECT_TRUE(comm->isVisible());
}

TEST_F(CommunicationTest, ChoosingAPortWhereACameraAnswersReadsThatCamera) {
    AddCamera(1);
    sim::PtyCamera& second = AddCamera(2);
    second.WithCore([](sim::CameraCore& c) { return c.SetValue("GA", 777); });
    StartWindow();
    ASSERT_NE(dlg->FindControl(ctl::kGainLevel), nullptr);

    Choose(Dlg::kPortList, 1);
    EXPECT_EQ(SerialLink::Instance().GetPortIndex(), 1);
    const Strings lines = second.ReceivedLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "MD?");
    EXPECT_EQ(qobject_cast<SpinEditBox*>(dlg->FindControl(ctl::kGainLevel))->EditText(),
              QStringLiteral("777"));
    EXPECT_TRUE(prompt.entries().empty()) << prompt.texts().front();
}

TEST_F(CommunicationTest, ListsActOnARealChangeOnlyAndTheWheelOnlyWithTheFocus) {
    sim::PtyCamera& first = AddCamera(1);
    sim::PtyCamera& second = AddCamera(2);
    StartWindow();
    first.ClearLines();
    auto* ports = Control<QComboBox>(Dlg::kPortList);
    // The current entry chosen again changes nothing: no reopened link, no second read.
    for (const int list : {Dlg::kCategoryList, Dlg::kPortList})
        Choose(list, Control<QComboBox>(list)->currentIndex());
    EXPECT_TRUE(first.ReceivedLines().empty());

    const auto wheelDown = [ports] {
        const QPointF at(ports->width() / 2.0, ports->height() / 2.0);
        QWheelEvent wheel(at, ports->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(ports, &wheel);
    };
    wheelDown();
    EXPECT_EQ(ports->currentIndex(), 0);
    EXPECT_EQ(SerialLink::Instance().GetPortIndex(), 0);
    EXPECT_TRUE(first.ReceivedLines().empty());

    // With the focus the wheel chooses, and the choice counts.
    comm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(comm));
    ports->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([ports] { return ports->hasFocus(); })) << QApplication::focusWidget();
    wheelDown();
    EXPECT_EQ(SerialLink::Instance().GetPortIndex(), 1);
    ASSERT_FALSE(second.ReceivedLines().empty());
    EXPECT_EQ(second.ReceivedLines().front(), "MD?");
    EXPECT_TRUE(prompt.entries().empty()) << prompt.texts().front();
}

TEST_F(CommunicationTest, AutoFindsTheCameraOnTheThirdPort) {
    sim::PtyCamera& first = AddCamera(1);
    AddCamera(2).SetFailure(sim::FailureMode::Silent);
    sim::PtyCamera& third = AddCamera(3);
    StartWindow();
    first.SetFailure(sim::FailureMode::Silent);
    third.ClearLines();

    comm->findChild<QPushButton*>(QStringLiteral("ctl%1").arg(Dlg::kAuto))->click();
    EXPECT_EQ(SerialLink::Instance().GetPortIndex(), 2);
    EXPECT_EQ(Control<QComboBox>(Dlg::kPortList)->currentIndex(), 2);
    const Strings lines = third.ReceivedLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "MD?");  // the search's query
    EXPECT_EQ(lines[1], "MD?");  // the whole read's
    EXPECT_EQ(Control<QLabel>(Dlg::kOnlineText)->text(), QStringLiteral("Online"));
    EXPECT_EQ(CountText(prompt, kNoAnswer), 0);
}

TEST_F(CommunicationTest, AutoKeepsEveryRegisteredWindowDisabledWhileItSearches) {
    AddCamera(1);
    StartWindow();
    const int windows = EnabledRegisteredWindows();
    const WindowsDuringLines probe;
    comm->findChild<QPushButton*>(QStringLiteral("ctl%1").arg(Dlg::kAuto))->click();
    EXPECT_FALSE(probe.lines.empty());
    EXPECT_EQ(probe.withAWindowEnabled, Strings{});
    EXPECT_EQ(EnabledRegisteredWindows(), windows);
}

TEST_F(CommunicationTest, AutoWithNoCameraTriesSixteenPortsWarnsOnceAndGoesOffline) {
    sim::PtyCamera& first = AddCamera(1);
    for (int n = 2; n <= 16; ++n) LinkNowhere(n);
    StartWindow();
    first.SetFailure(sim::FailureMode::Silent);
    prompt.clear();

    comm->OnAuto();
    EXPECT_EQ(CountText(prompt, kNoAnswer), 1);
    ASSERT_FALSE(prompt.entries().empty());
    EXPECT_EQ(prompt.entries().back().text, kNoAnswer);
    EXPECT_EQ(prompt.entries().back().caption, "Communication Error");
    EXPECT_EQ(prompt.entries().back().icon, PromptIcon::Exclamation);
    // Each of the fifteen ports that cannot open said so itself.
    EXPECT_EQ(prompt.entries().size(), 16u);
    EXPECT_EQ(SerialLink::Instance().GetPortIndex(), 15);
    EXPECT_EQ(Control<QComboBox>(Dlg::kPortList)->currentIndex(), 0);
    EXPECT_EQ(Control<QLabel>(Dlg::kOnlineText)->text(), QStringLiteral("Offline"));
    EXPECT_EQ(Control<PictureControl>(Dlg::kLamp)->CurrentPicture(), PictureControl::Picture::RedLamp);
}

TEST_F(CommunicationTest, StoreOfTheFactoryAreaOnlyInTheFactoryMode) {
    AddCamera(1);
    StartWindow(0);
    auto* store = Control<QPushButton>(Dlg::kStore);
    EXPECT_TRUE(store->isEnabled());
    Choose(Dlg::kAreaList, 0);
    EXPECT_FALSE(store->isEnabled());
    Choose(Dlg::kAreaList, 3);
    EXPECT_TRUE(store->isEnabled());
    Choose(Dlg::kAreaList, 0);

    dlg->ToggleControlMode();
    EXPECT_TRUE(store->isEnabled());
    cameras[0]->ClearLines();
    prompt.clear();
    store->click();
    EXPECT_EQ(cameras[0]->ReceivedLines(), Strings{"SA00=0"});
    ASSERT_EQ(prompt.texts(), Strings{"Completed to store current setting data!"});
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Information);

    Choose(Dlg::kAreaList, 2);
    cameras[0]->ClearLines();
    store->click();
    EXPECT_EQ(cameras[0]->ReceivedLines(), Strings{"SA=2"});
}

TEST_F(CommunicationTest, LoadSendsLdAndReadsTheWholeCamera) {
    AddCamera(1);
    StartWindow(0);
    Choose(Dlg::kAreaList, 2);
    cameras[0]->ClearLines();
    Control<QPushButton>(Dlg::kLoad)->click();
    EXPECT_EQ(cameras[0]->ReceivedLines(), Concat({"LD=2", "MD?"}, UserModeQueries()));
    EXPECT_EQ(dlg->CurrentArea(), 0);
}

TEST_F(CommunicationTest, BaudRateItemsOnlyInTheFactoryMode) {
    AddCamera(1);
    StartWindow(0);
    auto* label = Control<QLabel>(Dlg::kBaudRateLabel);
    auto* list = Control<QComboBox>(Dlg::kBaudRateList);
    EXPECT_TRUE(label->isHidden());
    EXPECT_TRUE(list->isHidden());
    EXPECT_FALSE(label->isEnabled());
    EXPECT_FALSE(list->isEnabled());

    dlg->ToggleControlMode();
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(label->isVisible());
    EXPECT_TRUE(list->isEnabled());
    EXPECT_EQ(list->currentText(), QStringLiteral("9600bps"));
}

TEST_F(CommunicationTest, BaudRateChoiceReopensAtThatRateAndReadsTheCamera) {
    sim::CameraOptions options;
    options.baudRate = 38400;
    AddCamera(1, options);
    StartWindow(1);
    EXPECT_EQ(Control<QComboBox>(Dlg::kBaudRateList)->currentIndex(), 2);  // found by the probe
    cameras[0]->WithCore([](sim::CameraCore& c) { return c.SetValue("GA", 321); });

    Choose(Dlg::kBaudRateList, 0);
    EXPECT_EQ(SerialLink::Instance().GetBaudRate(), 9600);
    Choose(Dlg::kBaudRateList, 2);
    EXPECT_EQ(qobject_cast<SpinEditBox*>(dlg->FindControl(ctl::kGainLevel))->EditText(),
              QStringLiteral("321"));
}

// The window alone, on a raw pseudo-terminal, for answers no simulated camera gives.
class CommunicationWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        comm = std::make_unique<CCommunicationDialog>(host);
        comm->Create();
    }
    QListWidget* List() { return qobject_cast<QListWidget*>(comm->ControlById(Dlg::kMessageList)); }

    RecordingPrompt prompt;
    RecordingHost host;
    std::unique_ptr<CCommunicationDialog> comm;
};

TEST_F(CommunicationWindowTest, GetAreaShowsTheAreaNameAndUnkownForOtherNumbers) {
    RawPty peer;
    ASSERT_TRUE(peer.Ok());
    peer.LinkAsComPort(1);
    ASSERT_EQ(SerialLink::Instance().SelectPort(0), 1);
    auto* text = qobject_cast<QLabel*>(comm->ControlById(Dlg::kAreaText));

    peer.AnswerWith("EA=2\r\n");
    comm->OnGetArea();
    EXPECT_EQ(text->text(), QStringLiteral("User 2 Data"));
    peer.AnswerWith("EA=7\r\n");
    comm->OnGetArea();
    EXPECT_EQ(text->text(), QStringLiteral("Unkown"));
    EXPECT_EQ(peer.ReceivedLines(), (Strings{"EA?", "EA?"}));
    EXPECT_EQ(host.reads, 0);
}

TEST_F(CommunicationWindowTest, SettingFileButtonsRunTheMainWindowsFlows) {
    qobject_cast<QPushButton*>(comm->ControlById(Dlg::kWriteSettingFile))->click();
    qobject_cast<QPushButton*>(comm->ControlById(Dlg::kReadSettingFile))->click();
    EXPECT_EQ(host.saves, 1);
    EXPECT_EQ(host.opens, 1);
}

TEST_F(CommunicationWindowTest, TheListKeepsTheNewest4096Lines) {
    for (int i = 1; i <= Dlg::kMaxMessages + 1; ++i) comm->AddMessage(QStringLiteral("line %1").arg(i));
    ASSERT_EQ(List()->count(), Dlg::kMaxMessages);
    EXPECT_EQ(List()->item(0)->text(), QStringLiteral("line 4097"));
    EXPECT_EQ(List()->item(Dlg::kMaxMessages - 1)->text(), QStringLiteral("line 2"));
    comm->OnClearLog();
    EXPECT_EQ(List()->count(), 0);
}

TEST_F(CommunicationWindowTest, SelectedLinesAreCopiedAsShownOnePerLine) {
    for (const char* line : {"Tx: MD?", "Rx: MD=VELA-4K-MONO", "Tx: EA?"})
        comm->AddMessage(QString::fromLatin1(line));
    comm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(comm.get()));
    QListWidget* list = List();
    EXPECT_EQ(list->accessibleName(), QStringLiteral("ControlTool Message"));
    // Nothing is selected until the operator selects.
    EXPECT_EQ(CopyWithCtrlC(*list), QString());

    ClickLines(*list, 2, 1);
    EXPECT_EQ(CopyWithCtrlC(*list), QStringLiteral("Rx: MD=VELA-4K-MONO\nTx: MD?"));
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(CopyWithCtrlC(*list), QStringLiteral("Tx: EA?\nRx: MD=VELA-4K-MONO\nTx: MD?"));
}

TEST_F(CommunicationWindowTest, SavedLogListsLinesOldestFirstWithCrLfAndAsksBeforeReplacing) {
    ScriptedFileDialog files;
    const std::string folder = ConfigDirForTest() + "/logs";
    fs::create_directories(folder);
    const std::string path = folder + "/log.txt";
    CommandLog::Instance().Log("Tx: MD?");
    CommandLog::Instance().Log("Rx: MD=VELA-4K-MONO");

    files.Choose(path);
    comm->OnWriteLog();
    EXPECT_EQ(ReadFile(path), "Tx: MD?\r\nRx: MD=VELA-4K-MONO\r\n");
    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(files.requests()[0].mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(files.requests()[0].initialName, "*.txt");
    EXPECT_EQ(files.requests()[0].defaultExtension, "txt");
    EXPECT_EQ(List()->item(0)->text(), QStringLiteral("Writing file has been done!"));
    std::string remembered;
    EXPECT_EQ(RegistrySettings::Instance().GetPath(CommandLogFilePath, remembered), 1);
    EXPECT_EQ(remembered, folder);

    // An existing file: No keeps it as it was, Yes replaces it.
    WriteFile(path, "keep me\r\n");
    prompt.ScriptAnswers({PromptAnswer::No});
    files.Choose(path);
    comm->OnWriteLog();
    EXPECT_EQ(ReadFile(path), "keep me\r\n");
    ASSERT_FALSE(prompt.entries().empty());
    EXPECT_EQ(prompt.entries().back().text, path + "\nThis file already exists.\nReplace existing file?");
    EXPECT_EQ(prompt.entries().back().icon, PromptIcon::Question);
    ASSERT_EQ(files.requests().size(), 2u);
    EXPECT_EQ(files.requests()[1].folder, folder);

    prompt.ScriptAnswers({PromptAnswer::Yes});
    files.Choose(path);
    comm->OnWriteLog();
    EXPECT_EQ(ReadFile(path), "Tx: MD?\r\nRx: MD=VELA-4K-MONO\r\nWriting file has been done!\r\n");
}

TEST_F(CommunicationWindowTest, LogFileFailuresAreReportedAndTheFolderStillRemembered) {
    ScriptedFileDialog files;
    const std::string missing = ConfigDirForTest() + "/no-such-folder/log.txt";
    files.Choose(missing);
    comm->OnWriteLog();
    ASSERT_EQ(prompt.texts(), Strings{"File open error !"});
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Stop);
    std::string remembered;
    EXPECT_EQ(RegistrySettings::Instance().GetString(CommandLogFilePath, remembered), 1);
    EXPECT_EQ(remembered, ConfigDirForTest() + "/no-such-folder");

    // Opened but not written (a full disk): no "done" line, and a message says so.
    prompt.clear();
    comm->AddMessage(QStringLiteral("Tx: MD?"));
    prompt.ScriptAnswers({PromptAnswer::Yes});
    files.Choose("/dev/full");
    comm->OnWriteLog();
    EXPECT_EQ(prompt.texts(), (Strings{"/dev/full\nThis file already exists.\nReplace existing file?",
                                       "File write error !"}));
    EXPECT_EQ(List()->count(), 1);
    comm->OnClearLog();

    prompt.clear();
    files.Fail(12);
    comm->OnWriteLog();
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, "Error in Load Dialog! (Return-code = 12)");
    EXPECT_EQ(prompt.entries()[0].caption, "Load Error");

    prompt.clear();
    files.Cancel();
    comm->OnWriteLog();
    EXPECT_TRUE(prompt.entries().empty());
    EXPECT_EQ(List()->count(), 0);
}

}  // namespace
}  // namespace vela::test
