// The About, Camera ID and User ID dialogs against the simulated camera: what they read
// and show, what they write, and what they refuse before anything crosses the wire.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/registrysettings.h"
#include "camera/cameraidentity.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/cameraiddialog.h"
#include "dialogs/label.h"
#include "dialogs/useriddialog.h"
#include "mainwindow/mainmenu.h"
#include "protocol/command.h"
#include "protocol/controlids.h"
#include "support/mainwindowfixture.h"
#include "support/recordingshellopen.h"
#include "support/stopwatch.h"
#include "support/tempconfig.h"
#include "transport/linkkind.h"
#include "transport/seriallink.h"

namespace vela::test {
namespace {

using Entry = RecordingPrompt::Entry;

std::string Std(const QString& text) {
    return text.toStdString();
}

// The dialogs on the process-wide link to the simulated camera, linked as COM1.
class IdentityDialogTest : public ::testing::Test {
  protected:
    void Connect(sim::CameraOptions options = {}, sim::WireOptions wire = {}) {
        ASSERT_EQ(StartPtyCamera(camera, 1, options, wire), "");
        ASSERT_EQ(SerialLink::Instance().Open(ComPortKind, options.baudRate, 0), 1);
    }
    void TearDown() override {
        SerialLink::Instance().Close();
        if (camera) camera->Stop();
    }
    // What the camera received since the last call. A query of the camera's own goes last,
    // so a line the tool wrote before it has certainly arrived.
    Strings LinesSinceLastCheck() {
        std::string ignored;
        Command::Instance().ReadString(kCmdMD, ignored, 5000);
        Strings lines = camera->ReceivedLines();
        camera->ClearLines();
        EXPECT_FALSE(lines.empty());
        if (!lines.empty() && lines.back() == "MD?") lines.pop_back();
        return lines;
    }
    std::string CameraText(const std::string& name) {
        return camera->WithCore([&name](sim::CameraCore& c) { return c.Text(name); });
    }
    void SetCameraText(const std::string& name, const std::string& text) {
        ASSERT_TRUE(camera->WithCore([&](sim::CameraCore& c) { return c.SetText(name, text); }));
    }
    std::vector<std::string> Boxes(const CCameraIdDialog& dlg) {
        std::vector<std::string> texts;
        for (QLineEdit* box : dlg.Boxes()) texts.push_back(Std(box->text()));
        return texts;
    }
    void ExpectLastMessage(const std::string& text, PromptIcon icon) {
        ASSERT_FALSE(prompt.entries().empty());
        EXPECT_EQ(prompt.entries().back().text, text);
        EXPECT_EQ(prompt.entries().back().icon, icon);
    }

    RecordingPrompt prompt;
    RecordingShellOpen shell;
    std::unique_ptr<sim::PtyCamera> camera;
};

TEST_F(IdentityDialogTest, AboutShowsTheCameraIdentityInReadOrder) {
    Connect();
    CAboutDialog dlg;
    dlg.OnInitDialog();

    EXPECT_EQ(camera->ReceivedLines(), (Strings{"VN?", "MD?", "ID?", "PV?", "UD?", "DV?"}));
    EXPECT_TRUE(prompt.entries().empty());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("About This Control"));
    EXPECT_EQ(dlg.Field(CAboutDialog::kNameId)->text(), QStringLiteral("VELA-4K/8K Control Tool"));
    EXPECT_EQ(dlg.Field(CAboutDialog::kVersionId)->text(), QStringLiteral("0.20"));
    EXPECT_EQ(dlg.Field(CAboutDialog::kFirmwareVersionId)->text(), QStringLiteral("1.23"));
    EXPECT_EQ(dlg.Field(CAboutDialog::kFpgaVersionId)->text(), QStringLiteral("1.05"));
    EXPECT_EQ(dlg.Field(CAboutDialog::kModelNameId)->text(), QStringLiteral("VELA-4K-MONO"));
    EXPECT_EQ(dlg.Field(CAboutDialog::kCameraIdId)->text(), QStringLiteral("VC00000001"));
    EXPECT_EQ(dlg.UserIdEdit()->text(), QStringLiteral("STATION-1"));
    const QStringList parts = {dlg.DeviceVersionEdit(0)->text(), dlg.DeviceVersionEdit(1)->text(),
                               dlg.DeviceVersionEdit(2)->text(), dlg.DeviceVersionEdit(3)->text()};
    EXPECT_EQ(parts, (QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("2"),
                                  QStringLiteral("0")}));

    // User control mode: the device version is shown but cannot be changed; the user ID is
    // protected until the operator says otherwise.
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(dlg.DeviceVersionEdit(i)->isEnabled());
    EXPECT_FALSE(dlg.FindControl(CAboutDialog::kSaveDeviceVersionId)->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.UserIdEdit()->isEnabled());
    EXPECT_FALSE(dlg.FindControl(CAboutDialog::kSaveUserIdId)->isEnabled());
    EXPECT_TRUE(qobject_cast<QRadioButton*>(dlg.FindControl(CAboutDialog::kProtectUserIdId))->isChecked());
    qobject_cast<QRadioButton*>(dlg.FindControl(CAboutDialog::kEnableUserIdId))->click();
    EXPECT_TRUE(dlg.UserIdEdit()->isEnabled());
    EXPECT_TRUE(dlg.FindControl(CAboutDialog::kSaveUserIdId)->isEnabled());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(dlg.FindControl(CAboutDialog::kProtectUserIdId))->isChecked());

    // The maker's address is a link that goes through the shell.
    CLabel* link = dlg.Link();
    EXPECT_EQ(link->text(), QStringLiteral("https://www.corvane.example/"));
    EXPECT_EQ(link->ForeColor(), QColor(0, 0, 255));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(shell.opened(), Strings{"https://www.corvane.example/"});
}

TEST_F(IdentityDialogTest, AboutWithASilentCameraWaitsForTheFirmwareReadAndKeepsEveryPlaceholder) {
    sim::WireOptions silent;
    silent.failure = sim::FailureMode::Silent;
    Connect({}, silent);
    CAboutDialog dlg;
    const Stopwatch watch;
    dlg.OnInitDialog();
    EXPECT_GE(watch.Ms(), static_cast<std::uint32_t>(kIdentityTimeoutMs));

    // The firmware read failed, so nothing else was asked.
    EXPECT_EQ(camera->ReceivedLines(), Strings{"VN?"});
    EXPECT_EQ(dlg.Field(CAboutDialog::kFirmwareVersionId)->text(), QStringLiteral("?.??"));
    EXPECT_EQ(dlg.Field(CAboutDialog::kFpgaVersionId)->text(), QStringLiteral("?.??"));
    EXPECT_EQ(dlg.Field(CAboutDialog::kModelNameId)->text(), QStringLiteral("??????????"));
    EXPECT_EQ(dlg.Field(CAboutDialog::kCameraIdId)->text(), QStringLiteral("??????????"));
    EXPECT_EQ(dlg.UserIdEdit()->text(), QStringLiteral("????????????????"));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dlg.DeviceVersionEdit(i)->text(), QStringLiteral("?"));
}

TEST_F(IdentityDialogTest, AboutKeepsTheDeviceVersionPlaceholdersUnlessTheAnswerHasThreeDots) {
    Connect();
    for (const char* answer : {"1.0.2", "1.0.2.0.1"}) {
        SetCameraText("DV", answer);
        CAboutDialog dlg;
        dlg.OnInitDialog();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(dlg.DeviceVersionEdit(i)->text(), QStringLiteral("?")) << answer;
        // Only that field: the others were read as usual.
        EXPECT_EQ(dlg.Field(CAboutDialog::kFpgaVersionId)->text(), QStringLiteral("1.05")) << answer;
        EXPECT_EQ(dlg.UserIdEdit()->text(), QStringLiteral("STATION-1")) << answer;
    }
}

TEST_F(IdentityDialogTest, AboutSavesTheFirstCharacterOfEachDeviceVersionPartInFactoryMode) {
    Connect();
    SetCameraText("DV", "12.0.2.7");
    ControlMode::Instance().Set(1);
    CAboutDialog dlg;
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.DeviceVersionEdit(0)->text(), QStringLiteral("12"));
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(dlg.DeviceVersionEdit(i)->isEnabled());
    auto* save = qobject_cast<QPushButton*>(dlg.FindControl(CAboutDialog::kSaveDeviceVersionId));
    ASSERT_TRUE(save->isVisibleTo(&dlg));
    camera->ClearLines();

    save->click();
    EXPECT_EQ(LinesSinceLastCheck(), Strings{"DV00=1.0.2.7"});
    EXPECT_EQ(CameraText("DV"), "1.0.2.7");
    ExpectLastMessage("Writing the Device Version has been completed.", PromptIcon::Information);

    // An emptied part contributes nothing.
    dlg.DeviceVersionEdit(2)->clear();
    save->click();
    EXPECT_EQ(LinesSinceLastCheck(), Strings{"DV00=1.0..7"});
    EXPECT_EQ(CameraText("DV"), "1.0..7");

    camera->SetFailure(sim::FailureMode::RefuseWrites);
    save->click();
    ExpectLastMessage("Couldn't write the Device Version.", PromptIcon::Stop);
}

TEST_F(IdentityDialogTest, AboutWritesAUserIdOfSixteenCharactersAndRefusesSeventeen) {
    Connect();
    CAboutDialog dlg;
    dlg.OnInitDialog();
    qobject_cast<QRadioButton*>(dlg.FindControl(CAboutDialog::kEnableUserIdId))->click();
    auto* save = qobject_cast<QPushButton*>(dlg.FindControl(CAboutDialog::kSaveUserIdId));
    camera->ClearLines();

    dlg.UserIdEdit()->setText(QStringLiteral("LINE4-CAM-000017"));
    save->click();
    EXPECT_EQ(LinesSinceLastCheck(), Strings{"UD=LINE4-CAM-000017"});
    EXPECT_EQ(CameraText("UD"), "LINE4-CAM-000017");
    ExpectLastMessage("Writing the User ID \"LINE4-CAM-000017\" has been completed.",
                      PromptIcon::Information);

    dlg.UserIdEdit()->setText(QStringLiteral("LINE4-CAM-0000170"));
    save->click();
    ExpectLastMessage("User ID string is too long !!", PromptIcon::Stop);
    EXPECT_EQ(LinesSinceLastCheck(), Strings{});
    EXPECT_EQ(CameraText("UD"), "LINE4-CAM-000017");
}

TEST_F(IdentityDialogTest, UserIdDialogWritesWhatWasTypedAndNothingTooLong) {
    Connect();
    CUserIdDialog dlg;
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("User Id"));
    EXPECT_EQ(dlg.Edit()->text(), QStringLiteral("STATION-1"));
    camera->ClearLines();

    dlg.Edit()->setText(QStringLiteral("ABCDEFGHIJKLMNOPQ"));
    dlg.SaveButton()->click();
    ExpectLastMessage("User ID string is too long !!", PromptIcon::Stop);
    EXPECT_EQ(LinesSinceLastCheck(), Strings{});

    dlg.Edit()->setText(QStringLiteral("ABCDEFGHIJKLMNOP"));
    dlg.SaveButton()->click();
    ExpectLastMessage("Writing the User ID \"ABCDEFGHIJKLMNOP\" has been completed.",
                      PromptIcon::Information);

    // An empty text is a value too.
    dlg.Edit()->clear();
    dlg.SaveButton()->click();
    ExpectLastMessage("Writing the User ID \"\" has been completed.", PromptIcon::Information);
    EXPECT_EQ(LinesSinceLastCheck(), (Strings{"UD=ABCDEFGHIJKLMNOP", "UD="}));
    EXPECT_EQ(CameraText("UD"), "");

    // A pasted line break would start a command of its own on the camera.
    dlg.Edit()->setText(QStringLiteral("A\r\nCRS00=1"));
    dlg.SaveButton()->click();
    ExpectLastMessage("User ID string contains a control character !!", PromptIcon::Stop);
    EXPECT_EQ(LinesSinceLastCheck(), Strings{});

    camera->SetFailure(sim::FailureMode::RefuseWrites);
    dlg.Edit()->setText(QStringLiteral("X"));
    dlg.SaveButton()->click();
    ExpectLastMessage("Couldn't write the User ID.", PromptIcon::Stop);
    EXPECT_EQ(dlg.Edit()->text(), QStringLiteral("X"));
}

TEST_F(IdentityDialogTest, UserIdDialogShowsQuestionMarksWhenTheReadFails) {
    sim::WireOptions wrongName;
    wrongName.failure = sim::FailureMode::WrongName;
    Connect({}, wrongName);
    CUserIdDialog dlg;
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.Edit()->text(), QStringLiteral("????????????????"));
}

TEST_F(IdentityDialogTest, CameraIdFillsOneBoxPerCharacterAndSavesAfterTheUnlock) {
    sim::CameraOptions options;
    options.cameraId = "ABC123";
    Connect(options);
    ControlMode::Instance().Set(1);
    CCameraIdDialog dlg;
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Camera Id"));
    EXPECT_EQ(Boxes(dlg), (Strings{"A", "B", "C", "1", "2", "3", "", "", "", ""}));
    ASSERT_TRUE(dlg.SaveButton()->isVisibleTo(&dlg));
    camera->ClearLines();

    for (QLineEdit* box : dlg.Boxes()) box->clear();
    dlg.Boxes()[0]->setText(QStringLiteral("Xq"));  // only the first character counts
    dlg.Boxes()[1]->setText(QStringLiteral("Y"));
    dlg.Boxes()[2]->setText(QStringLiteral("Z"));
    dlg.SaveButton()->click();
    EXPECT_EQ(LinesSinceLastCheck(), (Strings{"ULCK=5170362", "ID00=XYZ"}));
    EXPECT_EQ(CameraText("ID"), "XYZ");
    ExpectLastMessage("Completed saving camera id: XYZ.", PromptIcon::Information);

    // A refused unlock stops before the identifier.
    camera->SetFailure(sim::FailureMode::RefuseWrites);
    dlg.SaveButton()->click();
    ExpectLastMessage("Couldn't save camera id.", PromptIcon::Stop);
    camera->SetFailure(sim::FailureMode::None);
    EXPECT_EQ(LinesSinceLastCheck(), Strings{"ULCK=5170362"});

    // An identifier the camera refuses after a good unlock.
    for (QLineEdit* box : dlg.Boxes()) box->clear();
    dlg.SaveButton()->click();
    ExpectLastMessage("Couldn't save the camera id.", PromptIcon::Stop);
    EXPECT_EQ(LinesSinceLastCheck(), (Strings{"ULCK=5170362", "ID00="}));
    EXPECT_EQ(CameraText("ID"), "XYZ");
}

TEST_F(IdentityDialogTest, CameraIdSaveIsHiddenOutsideControlModeOne) {
    Connect();
    for (int mode : {0, 2}) {
        ControlMode::Instance().Set(mode);
        CCameraIdDialog dlg;
        dlg.OnInitDialog();
        EXPECT_EQ(Boxes(dlg), (Strings{"V", "C", "0", "0", "0", "0", "0", "0", "0", "1"}));
        EXPECT_FALSE(dlg.SaveButton()->isVisibleTo(&dlg)) << mode;
    }
}

TEST_F(IdentityDialogTest, IdentityTextsTravelAsOneLatinOneBytePerCharacter) {
    Connect();
    SetCameraText("ID",
                  "\xE9"
                  "BC");
    SetCameraText("UD", "CAF\xE9");
    ControlMode::Instance().Set(1);
    const QString euro = QString::fromUtf8("\xE2\x82\xAC");
    const auto refused = [](const char* field) {
        return std::string(field) +
               " contains \"\xE2\x82\xAC\", which the camera cannot store: only Latin-1 characters, one byte "
               "each !!";
    };

    CCameraIdDialog id;
    id.OnInitDialog();
    EXPECT_EQ(id.Boxes()[0]->text(), QString(QChar(0xE9)));
    camera->ClearLines();
    id.SaveButton()->click();
    EXPECT_EQ(LinesSinceLastCheck(), (Strings{"ULCK=5170362",
                                              "ID00=\xE9"
                                              "BC"}));
    id.Boxes()[1]->setText(euro);
    id.SaveButton()->click();
    ExpectLastMessage(refused("Camera id"), PromptIcon::Stop);
    EXPECT_EQ(LinesSinceLastCheck(), Strings{});  // not even the unlock

    // The limit counts bytes: sixteen accented letters are sixteen bytes.
    CUserIdDialog user;
    user.OnInitDialog();
    EXPECT_EQ(user.Edit()->text(), QString::fromLatin1("CAF\xE9"));
    camera->ClearLines();
    user.Edit()->setText(QString(17, QChar(0xE9)));
    user.SaveButton()->click();
    ExpectLastMessage("User ID string is too long !!", PromptIcon::Stop);
    user.Edit()->setText(QString(16, QChar(0xE9)));
    user.SaveButton()->click();
    user.Edit()->setText(euro);
    user.SaveButton()->click();
    ExpectLastMessage(refused("User ID string"), PromptIcon::Stop);
    EXPECT_EQ(LinesSinceLastCheck(), Strings{"UD=" + std::string(16, '\xE9')});

    CAboutDialog about;
    about.OnInitDialog();
    EXPECT_EQ(about.Field(CAboutDialog::kCameraIdId)->text(), QString::fromLatin1("\xE9"
                                                                                  "BC"));
    EXPECT_EQ(about.UserIdEdit()->text(), QString::fromLatin1("CAF\xE9"));
    qobject_cast<QRadioButton*>(about.FindControl(CAboutDialog::kEnableUserIdId))->click();
    camera->ClearLines();
    about.UserIdEdit()->setText(euro);
    qobject_cast<QPushButton*>(about.FindControl(CAboutDialog::kSaveUserIdId))->click();
    ExpectLastMessage(refused("User ID string"), PromptIcon::Stop);
    about.DeviceVersionEdit(0)->setText(euro);
    qobject_cast<QPushButton*>(about.FindControl(CAboutDialog::kSaveDeviceVersionId))->click();
    ExpectLastMessage(refused("Device Version"), PromptIcon::Stop);
    EXPECT_EQ(LinesSinceLastCheck(), Strings{});
}

TEST_F(IdentityDialogTest, EnterClosesAsOkAndEscAsCancelWithoutSaving) {
    Connect();
    ControlMode::Instance().Set(1);
    struct Case {
        Qt::Key key;
        int result;
    };
    const Case cases[] = {{Qt::Key_Return, QDialog::Accepted},
                          {Qt::Key_Enter, QDialog::Accepted},
                          {Qt::Key_Escape, QDialog::Rejected}};
    for (const Case& c : cases) {
        CCameraIdDialog id;
        CUserIdDialog user;
        CAboutDialog about;
        const std::pair<StatusBarDialog*, QWidget*> windows[] = {{&id, id.Boxes()[0]},
                                                                 {&user, user.Edit()},
                                                                 {&about, about.UserIdEdit()},
                                                                 {&about, about.HelpList()}};
        for (StatusBarDialog* dialog :
             {static_cast<StatusBarDialog*>(&id), static_cast<StatusBarDialog*>(&user),
              static_cast<StatusBarDialog*>(&about)}) {
            dialog->OnInitDialog();
        }
        about.SetUserIdProtection(false);
        // A typed text that Enter must not save; and the About window's editable help list.
        for (const auto& [dialog, focus] : windows) {
            if (auto* edit = qobject_cast<QLineEdit*>(focus)) edit->setText(QStringLiteral("Z"));
            dialog->show();
            focus->setFocus();
            camera->ClearLines();
            QTest::keyClick(focus, c.key);
            EXPECT_FALSE(dialog->isVisible()) << dialog->windowTitle().toStdString() << " " << c.key;
            EXPECT_EQ(dialog->result(), c.result) << dialog->windowTitle().toStdString() << " " << c.key;
            EXPECT_EQ(LinesSinceLastCheck(), Strings{}) << dialog->windowTitle().toStdString();
        }
    }
}

TEST_F(IdentityDialogTest, HelpListHoldsThePdfFilesOfTheWorkingDirectorySorted) {
    Connect();
    const std::filesystem::path dir = std::filesystem::path(ConfigDirForTest()) / "help";
    std::filesystem::create_directories(dir / "folder.pdf");
    for (const char* name : {"b-manual.pdf", "A-setup.pdf", "c-notes.PDF", "readme.txt"}) {
        WriteFile((dir / name).string(), "%PDF");
    }
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.string())));
    CAboutDialog dlg;
    dlg.OnInitDialog();
    QDir::setCurrent(previous);

    QComboBox* list = dlg.HelpList();
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << list->itemText(i);
    EXPECT_EQ(names, (QStringList{QStringLiteral("A-setup.pdf"), QStringLiteral("b-manual.pdf"),
                                  QStringLiteral("c-notes.PDF")}));
    EXPECT_EQ(list->currentIndex(), 0);
    qobject_cast<QPushButton*>(dlg.FindControl(CAboutDialog::kViewHelpId))->click();
    EXPECT_EQ(shell.opened(), Strings{"A-setup.pdf"});

    // A name typed over the list is not a selection.
    list->setEditText(QStringLiteral("/etc/passwd"));
    qobject_cast<QPushButton*>(dlg.FindControl(CAboutDialog::kViewHelpId))->click();
    ExpectLastMessage("No file was selected !!", PromptIcon::Stop);
    EXPECT_EQ(shell.opened().size(), 1u);
}

TEST_F(IdentityDialogTest, WithoutPdfFilesViewHelpFileSaysNoFileWasSelected) {
    Connect();
    const std::filesystem::path dir = std::filesystem::path(ConfigDirForTest()) / "empty";
    std::filesystem::create_directories(dir);
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.string())));
    CAboutDialog dlg;
    dlg.OnInitDialog();
    QDir::setCurrent(previous);

    EXPECT_EQ(dlg.HelpList()->count(), 0);
    qobject_cast<QPushButton*>(dlg.FindControl(CAboutDialog::kViewHelpId))->click();
    ExpectLastMessage("No file was selected !!", PromptIcon::Stop);
    EXPECT_TRUE(shell.opened().empty());
}

// Closes the next modal window once it shows, after `inspect` has looked at it.
void CloseNextModal(const std::function<void(QWidget*)>& inspect) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        inspect(modal);
        modal->close();
    });
    timer->start();
}

TEST_F(MainWindowTest, UtilityItemsOpenTheirDialogsOnlyInFactoryMode) {
    StartCamera();
    StartWindow(0);
    QMenu* utility = dlg->MenuBar()->actions().at(kUtilityMenuPosition)->menu();
    EXPECT_FALSE(utility->isEnabled());
    EXPECT_FALSE(dlg->MenuBar()->actions().at(kUtilityMenuPosition)->isEnabled());

    dlg->ToggleControlMode();  // what the hidden key sequence runs
    ASSERT_TRUE(utility->isEnabled());
    EXPECT_TRUE(dlg->MenuBar()->actions().at(kUtilityMenuPosition)->isEnabled());

    const std::size_t dialogs = DialogRegistry::Instance().Count();
    const std::size_t updaters = OnlineStatusRegistry::Instance().Count();
    QString userId;
    CloseNextModal([&userId](QWidget* w) {
        if (auto* d = qobject_cast<CUserIdDialog*>(w)) userId = d->Edit()->text();
    });
    dlg->findChild<QAction*>(QStringLiteral("cmd%1").arg(ctl::kMenuEditUserId))->trigger();
    EXPECT_EQ(userId, QStringLiteral("STATION-1"));

    QString firstBox;
    bool saveShown = false;
    CloseNextModal([&](QWidget* w) {
        if (auto* d = qobject_cast<CCameraIdDialog*>(w)) {
            firstBox = d->Boxes()[0]->text();
            saveShown = d->SaveButton()->isVisible();
        }
    });
    dlg->findChild<QAction*>(QStringLiteral("cmd%1").arg(ctl::kMenuEditCameraId))->trigger();
    EXPECT_EQ(firstBox, QStringLiteral("V"));
    EXPECT_TRUE(saveShown);

    QString firmware;
    CloseNextModal([&firmware](QWidget* w) {
        if (auto* d = qobject_cast<CAboutDialog*>(w))
            firmware = d->Field(CAboutDialog::kFirmwareVersionId)->text();
    });
    dlg->findChild<QAction*>(QStringLiteral("cmd%1").arg(ctl::kMenuAbout))->trigger();
    EXPECT_EQ(firmware, QStringLiteral("1.23"));
    // Each dialog left both registries when it closed.
    EXPECT_EQ(DialogRegistry::Instance().Count(), dialogs);
    EXPECT_EQ(OnlineStatusRegistry::Instance().Count(), updaters);
}

}  // namespace
}  // namespace vela::test
