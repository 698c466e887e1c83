// The File and Settings menus against the simulated camera: setting files through the
// file dialogs, and the flash areas through the area selection dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "mainwindow/parameterareaselectdialog.h"
#include "mainwindow/spineditbox.h"
#include "protocol/command.h"
#include "protocol/controlids.h"
#include "protocol/onlinestatusregistry.h"
#include "support/mainwindowfixture.h"
#include "support/scriptedfiledialog.h"
#include "support/stopwatch.h"
#include "support/tempconfig.h"

namespace vela::test {
namespace {

using namespace ctl;

std::string FileFolder() {
    const std::string folder = ConfigDirForTest() + "/files";
    std::filesystem::create_directories(folder);
    return folder;
}

std::string RememberedFolder() {
    std::string folder;
    RegistrySettings::Instance().GetString(CameraFilePath, folder);
    return folder;
}

struct AreaDialogSeen {
    QString caption;
    QString prompt;
    QStringList items;
};

// Answers the next area selection dialog: picks `item` and presses OK, or Cancel when
// `item` is empty. Records what the dialog showed.
void AnswerAreaDialog(AreaDialogSeen& seen, const QString& item) {
    QTimer::singleShot(0, [&seen, item] {
        auto* dialog = qobject_cast<CParameterAreaSelectDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen.caption = dialog->windowTitle();
        seen.prompt = dialog->PromptText();
        for (int i = 0; i < dialog->AreaCombo()->count(); ++i) seen.items << dialog->AreaCombo()->itemText(i);
        if (item.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->AreaCombo()->setCurrentIndex(dialog->AreaCombo()->findText(item));
        dialog->accept();
    });
}

class SettingFilesTest : public MainWindowTest {
  protected:
    void Start(int controlMode) {
        StartCamera();
        StartWindow(controlMode);
        camera->ClearLines();
        prompt.clear();
    }
    ScriptedFileDialog files;
};

TEST_F(SettingFilesTest, OpenAppliesTheFileShowsItAndRemembersTheFolder) {
    Start(0);
    const std::string path = FileFolder() + "/line 7.cam";
    WriteFile(path, "GA=640\r\nGMA=3\r\n");
    files.Choose(path);

    dlg->OnMenuCommand(kMenuOpenSettingFile);

    ASSERT_EQ(files.requests().size(), 1u);
    const FileDialogRequest& request = files.requests()[0];
    EXPECT_EQ(request.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(request.initialName, request.folder + "/*.cam");
    EXPECT_EQ(request.defaultExtension, "cam");
    EXPECT_EQ(request.filter, "Camera setting data (*.cam)");
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA=640", "GMA=3"}));
    EXPECT_EQ(Control<SpinEditBox>(kGainLevel)->EditText(), QStringLiteral("640"));
    EXPECT_EQ(RememberedFolder(), FileFolder());
    EXPECT_TRUE(dlg->isEnabled());
    EXPECT_TRUE(prompt.entries().empty()) << prompt.texts()[0];

    // The next dialog starts in the remembered folder.
    files.Cancel();
    dlg->OnMenuCommand(kMenuSaveAllData);
    EXPECT_EQ(files.requests()[1].folder, FileFolder());
    EXPECT_EQ(files.requests()[1].mode, FileDialogRequest::Mode::Save);
}

TEST_F(SettingFilesTest, SavingOverAnExistingFileAsksFirst) {
    Start(1);
    const std::string path = FileFolder() + "/camera.cam";
    WriteFile(path, "keep me\r\n");

    files.Choose(path);
    prompt.ScriptAnswers({PromptAnswer::No});
    dlg->OnMenuCommand(kMenuSaveAllData);
    EXPECT_EQ(ReadFile(path), "keep me\r\n");
    EXPECT_NE(RememberedFolder(), FileFolder());
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, path + "\nThis file already exists.\nReplace existing file?");
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Question);
    EXPECT_TRUE(camera->ReceivedLines().empty());

    files.Choose(path);
    prompt.ScriptAnswers({PromptAnswer::Yes});
    dlg->OnMenuCommand(kMenuSaveAllData);
    const std::string content = ReadFile(path);
    EXPECT_EQ(content.rfind("MD00=VELA-4K-MONO\r\nDV=1.0.2.0\r\nTG=", 0), 0u) << content;
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 38);
    EXPECT_EQ(RememberedFolder(), FileFolder());

    files.Choose(FileFolder() + "/shipping.cam");
    dlg->OnMenuCommand(kMenuSaveShippingData);
    const std::string shipping = ReadFile(FileFolder() + "/shipping.cam");
    EXPECT_EQ(shipping.rfind("TG=", 0), 0u);
    EXPECT_EQ(std::count(shipping.begin(), shipping.end(), '\n'), 36);
}

TEST_F(SettingFilesTest, FailuresOfTheDialogAndTheFileAreReported) {
    Start(0);
    files.Fail(7);
    dlg->OnMenuCommand(kMenuOpenSettingFile);
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, "Error in Load Dialog! (Return-code = 7)");
    EXPECT_EQ(prompt.entries()[0].caption, "Load Error");

    prompt.clear();
    const std::string path = FileFolder() + "/missing/x.cam";
    files.Choose(path);
    dlg->OnMenuCommand(kMenuSaveShippingData);
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, path + "\nCouldn't open this file");
    EXPECT_EQ(prompt.entries()[0].caption, "File Open Error");
    // The flow stores the folder all the same.
    EXPECT_EQ(RememberedFolder(), FileFolder() + "/missing");
}

TEST_F(SettingFilesTest, CameraFallingSilentHalfWayEndsOfflineWithTheWindowsEnabled) {
    Start(0);
    const std::string path = FileFolder() + "/three.cam";
    WriteFile(path, "GA=200\r\nGA=300\r\nGMA=2\r\n");
    files.Choose(path);
    // The loader lets the windows run before each line: after the first answer the camera
    // falls silent.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [this, &watch] {
        if (!camera->ReceivedLines().empty()) {
            camera->SetFailure(sim::FailureMode::Silent);
            watch.stop();
        }
    });
    watch.start(0);
    const Stopwatch stopwatch;
    dlg->OnMenuCommand(kMenuOpenSettingFile);

    EXPECT_GE(stopwatch.Ms(), 10000u);
    EXPECT_LT(stopwatch.Ms(), 60000u);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"GA=200", "GA=300", "GMA=2"}));
    EXPECT_FALSE(OnlineStatusRegistry::Instance().IsOnline());
    EXPECT_TRUE(dlg->isEnabled());
    EXPECT_EQ(Control<SpinEditBox>(kGainLevel)->EditText(), QStringLiteral("300"));
}

TEST_F(SettingFilesTest, StoreSettingsOffersTheAreasOfTheModeAndStoresTheChosenOne) {
    Start(0);
    AreaDialogSeen seen;
    AnswerAreaDialog(seen, QStringLiteral("User 2"));
    dlg->OnMenuCommand(kMenuStoreSettings);
    EXPECT_EQ(seen.caption, QStringLiteral("Store setting data"));
    EXPECT_EQ(seen.prompt, QStringLiteral("Select the flash memory area to save setting data"));
    EXPECT_EQ(seen.items,
              (QStringList{QStringLiteral("User 1"), QStringLiteral("User 2"), QStringLiteral("User 3")}));
    EXPECT_EQ(camera->ReceivedLines(), Strings{"SA=2"});
    EXPECT_EQ(prompt.texts(), Strings{"Completed saving current setting data !"});
    EXPECT_EQ(dlg->CurrentArea(), 2);

    AreaDialogSeen cancelled;
    AnswerAreaDialog(cancelled, QString());
    dlg->OnMenuCommand(kMenuStoreSettings);
    EXPECT_EQ(camera->ReceivedLines().size(), 1u);

    dlg->ToggleControlMode();
    camera->ClearLines();
    AreaDialogSeen factory;
    AnswerAreaDialog(factory, QStringLiteral("Factory"));
    dlg->OnMenuCommand(kMenuStoreSettings);
    EXPECT_EQ(factory.items.size(), 4);
    EXPECT_EQ(factory.items.front(), QStringLiteral("Factory"));
    EXPECT_EQ(camera->ReceivedLines(), Strings{"SA00=0"});
}

TEST_F(SettingFilesTest, LoadSettingsLoadsTheAreaThenReadsTheWholeCamera) {
    Start(0);
    camera->WithCore([](sim::CameraCore& c) {
        c.SetValue("GA", 900);
        c.HandleLine("SA=1");
        return c.SetValue("GA", 100);
    });
    AreaDialogSeen seen;
    AnswerAreaDialog(seen, QStringLiteral("User 1"));
    dlg->OnMenuCommand(kMenuLoadSettings);
    EXPECT_EQ(seen.caption, QStringLiteral("Load setting data"));
    EXPECT_EQ(seen.prompt, QStringLiteral("Select the flash memory area to load setting data"));
    EXPECT_EQ(seen.items.front(), QStringLiteral("Factory"));  // loading offers it in the user mode too
    EXPECT_EQ(camera->ReceivedLines(), Concat({"LD=1", "MD?"}, UserModeQueries()));
    EXPECT_EQ(Control<SpinEditBox>(kGainLevel)->EditText(), QStringLiteral("900"));
    EXPECT_EQ(dlg->CurrentArea(), 1);
}

TEST_F(SettingFilesTest, FactoryPageButtonsStoreEveryAreaOrTheFactoryArea) {
    Start(1);
    prompt.ScriptAnswers({PromptAnswer::No});
    dlg->DispatchButtonClicked(kStoreAll);
    EXPECT_TRUE(camera->ReceivedLines().empty());
    EXPECT_EQ(prompt.texts(), Strings{"Are you sure you want to overwrite into all EEPROM areas?"});

    prompt.clear();
    prompt.ScriptAnswers({PromptAnswer::Yes});
    dlg->DispatchButtonClicked(kStoreAll);
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"SA=3", "SA=2", "SA=1", "SA00=0"}));
    EXPECT_EQ(prompt.texts().back(), "Completed to store current setting data!");

    camera->ClearLines();
    prompt.clear();
    dlg->DispatchButtonClicked(kSaveFactoryArea);
    EXPECT_EQ(camera->ReceivedLines(), Strings{"SA00=0"});
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(SettingFilesTest, ReloadWithoutCameraStillRunsTheWholeRead) {
    sim::WireOptions wire;
    wire.failure = sim::FailureMode::Silent;
    StartCamera({}, wire);
    StartWindow(0);
    camera->ClearLines();
    // Chosen from the menu, as the operator does.
    QAction* reload = dlg->MenuBar()->actions().at(1)->menu()->actions().at(0);
    ASSERT_EQ(reload->text(), QStringLiteral("&Reload"));
    reload->trigger();
    EXPECT_EQ(camera->ReceivedLines(), (Strings{"EA?", "MD?"}));
    EXPECT_FALSE(OnlineStatusRegistry::Instance().IsOnline());
    EXPECT_TRUE(dlg->isEnabled());
}

}  // namespace
}  // namespace vela::test
