// The terminal: raw lines to the camera, the time-stamped log of both directions, the
// 32786-line list, saving it, its arrangement, and its place in the main window.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <memory>

#include "app/registrysettings.h"
#include "dialogs/dialogregistry.h"
#include "dialogs/statusstrip.h"
#include "dialogs/terminaldialog.h"
#include "dialogs/terminallogview.h"
#include "platform/clock.h"
#include "protocol/controlids.h"
#include "support/linecopy.h"
#include "support/mainwindowfixture.h"
#include "support/pty.h"
#include "support/scriptedfiledialog.h"
#include "support/tempconfig.h"
#include "transport/commandlog.h"
#include "transport/seriallink.h"

namespace vela::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

// 10:07:42.015 UTC on some day: the terminal shows minute, second and millisecond.
const system_clock::time_point kAt0742015 = sys_days{2026y / 12 / 8} + 10h + 7min + 42s + 15ms;

// The wall clock stands still at `time` for the whole test.
struct FixedUtcTime {
    explicit FixedUtcTime(system_clock::time_point time) {
        SetUtcTimeSource([time] { return time; });
    }
    ~FixedUtcTime() { SetUtcTimeSource({}); }
};

QLineEdit* Edit(CTerminalDialog& terminal) {
    return qobject_cast<QLineEdit*>(terminal.Control(CTerminalDialog::kCommandEdit));
}

void Click(CTerminalDialog& terminal, int buttonId) {
    auto* button = qobject_cast<QPushButton*>(terminal.Control(buttonId));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

// A terminal on its own, its link's COM1 the far end of a pseudo-terminal.
class TerminalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(peer.ok());
        ASSERT_EQ(peer.LinkAsComPort(1), "COM1");
        ASSERT_EQ(SerialLink::Instance().ReopenCurrent(), 1);
        terminal = std::make_unique<CTerminalDialog>();
        terminal->Create();
    }
    void TearDown() override {
        terminal.reset();
        SerialLink::Instance().Close();
    }
    void AddLines(int count) {
        for (int i = 0; i < count; ++i) terminal->AddFormattedLine("line %d", i);
    }

    RecordingPrompt prompt;
    FixedUtcTime clock{kAt0742015};
    PtyPeer peer;
    std::unique_ptr<CTerminalDialog> terminal;
};

TEST_F(TerminalTest, SendsTheTypedLineWithCrLfAndLogsItOnTopKeepingTheText) {
    terminal->show();
    QLineEdit* edit = Edit(*terminal);
    ASSERT_NE(edit, nullptr);
    terminal->AddLine("older");
    QTest::keyClicks(edit, QStringLiteral("GA?"));
    // Enter in the edit presses the default button, Send.
    QTest::keyClick(edit, Qt::Key_Return);

    EXPECT_EQ(peer.ReadFor(5000, "\n"), "GA?\r\n");
    ASSERT_EQ(terminal->LineCount(), 2);
    EXPECT_EQ(terminal->Line(0), QStringLiteral("07:42:015  Tx: GA?"));
    EXPECT_EQ(terminal->Line(1), QStringLiteral("07:42:015  older"));
    EXPECT_EQ(edit->text(), QStringLiteral("GA?"));
    EXPECT_EQ(terminal->CommandText(), "GA?");
    EXPECT_TRUE(terminal->isVisible());

    // Again, with the button: the same line goes out a second time.
    Click(*terminal, CTerminalDialog::kSendButton);
    EXPECT_EQ(peer.ReadFor(5000, "\n"), "GA?\r\n");
    EXPECT_EQ(terminal->LineCount(), 3);
}

TEST_F(TerminalTest, AnEmptyLineSendsOnlyCrLfAndLogsTxAlone) {
    Click(*terminal, CTerminalDialog::kSendButton);
    EXPECT_EQ(peer.ReadFor(5000, "\n"), "\r\n");
    ASSERT_EQ(terminal->LineCount(), 1);
    EXPECT_EQ(terminal->Line(0), QStringLiteral("07:42:015  Tx: "));
    // Nothing for Up to step back to.
    QTest::keyClick(Edit(*terminal), Qt::Key_Up);
    EXPECT_EQ(Edit(*terminal)->text(), QString());
}

TEST_F(TerminalTest, UpAndDownStepThroughTheLinesSentInThisRun) {
    terminal->show();
    QLineEdit* edit = Edit(*terminal);
    for (const char* line : {"MD?", "GA=800", "GA=800", "EA?"}) {
        edit->setText(QString::fromLatin1(line));
        Click(*terminal, CTerminalDialog::kSendButton);
    }
    // The edit still shows EA?; the first Up goes to the line before it; repeats count once.
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), QStringLiteral("GA=800"));
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), QStringLiteral("MD?"));
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), QStringLiteral("MD?"));
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), QStringLiteral("GA=800"));
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down);
    // Past the newest line: what was in the edit before Up.
    EXPECT_EQ(edit->text(), QStringLiteral("EA?"));

    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("TS"));
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), QStringLiteral("EA?"));
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), QStringLiteral("TS"));
}

TEST_F(TerminalTest, KeepsAtMost32786LinesDroppingTheOldest) {
    AddLines(32786);
    ASSERT_EQ(terminal->LineCount(), 32786);
    EXPECT_EQ(terminal->Line(32785), QStringLiteral("07:42:015  line 0"));
    terminal->AddLine("one more");
    EXPECT_EQ(terminal->LineCount(), 32786);
    EXPECT_EQ(terminal->Line(0), QStringLiteral("07:42:015  one more"));
    EXPECT_EQ(terminal->Line(32785), QStringLiteral("07:42:015  line 1"));
    // The list scrolls over all of them.
    auto* list = qobject_cast<TerminalLogView*>(terminal->Control(CTerminalDialog::kLogList));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->verticalScrollBar()->maximum(), 32786 - list->VisibleLines());

    Click(*terminal, CTerminalDialog::kClearButton);
    EXPECT_EQ(terminal->LineCount(), 0);
}

TEST_F(TerminalTest, NewLinesShowAtTheTopButDoNotMoveLinesBeingReadFurtherDown) {
    terminal->show();
    auto* list = qobject_cast<TerminalLogView*>(terminal->Control(CTerminalDialog::kLogList));
    ASSERT_NE(list, nullptr);
    AddLines(200);
    EXPECT_EQ(list->TopLine(), 0);
    terminal->AddLine("newest");
    EXPECT_EQ(list->TopLine(), 0);

    list->verticalScrollBar()->setValue(50);
    const QString read = terminal->Line(list->TopLine());
    terminal->AddLine("newer still");
    EXPECT_EQ(terminal->Line(list->TopLine()), read);
}

TEST_F(TerminalTest, ThePrintfFormCutsAt255Characters) {
    terminal->AddFormattedLine("%s=%d", std::string(300, 'X').c_str(), 7);
    EXPECT_EQ(terminal->Line(0), QStringLiteral("07:42:015  ") + QString(255, QLatin1Char('X')));
    terminal->AddFormattedLine("Rx: %s=%d", "GA", 800);
    EXPECT_EQ(terminal->Line(0), QStringLiteral("07:42:015  Rx: GA=800"));
}

TEST_F(TerminalTest, SavesNewestFirstWithCrLfAndNotesItInTheListOnly) {
    ScriptedFileDialog files;
    const std::string folder = ConfigDirForTest() + "/logs";
    fs::create_directories(folder);
    RegistrySettings::Instance().SetString(CommandLogFilePath, folder);
    terminal->AddLine("Tx: GA?");
    terminal->AddLine("Rx: GA=800");

    files.Choose(folder + "/first.csv");
    Click(*terminal, CTerminalDialog::kSaveButton);
    EXPECT_EQ(ReadFile(folder + "/first.csv"), "07:42:015  Rx: GA=800\r\n07:42:015  Tx: GA?\r\n");
    EXPECT_EQ(terminal->Line(0), QStringLiteral("07:42:015  Writing file has been done !"));
    ASSERT_EQ(files.requests().size(), 1u);
    const FileDialogRequest& request = files.requests()[0];
    EXPECT_EQ(request.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(request.folder, folder);
    EXPECT_EQ(request.initialName, "*.csv");
    EXPECT_EQ(request.filter, "CSV file (*.csv)");
    EXPECT_EQ(request.defaultExtension, "csv");

    // The second save holds the first one's notice; a name without extension gets ".csv",
    // in another folder, which becomes the remembered one.
    const std::string other = ConfigDirForTest() + "/other";
    fs::create_directories(other);
    files.Type(other + "/second");
    Click(*terminal, CTerminalDialog::kSaveButton);
    EXPECT_EQ(ReadFile(other + "/second.csv"),
              "07:42:015  Writing file has been done !\r\n07:42:015  Rx: GA=800\r\n07:42:015  Tx: GA?\r\n");
    EXPECT_FALSE(fs::exists(other + "/second"));
    std::string stored;
    RegistrySettings::Instance().GetString(CommandLogFilePath, stored);
    EXPECT_EQ(stored, other);
    EXPECT_EQ(files.requests().back().folder, folder);
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(TerminalTest, AnExistingFileIsReplacedOnlyOnYes) {
    ScriptedFileDialog files;
    const std::string folder = ConfigDirForTest() + "/logs";
    fs::create_directories(folder);
    const std::string path = folder + "/log.csv";
    WriteFile(path, "keep me\r\n");
    RegistrySettings::Instance().SetString(CommandLogFilePath, "/somewhere/else");
    terminal->AddLine("Tx: EA?");

    files.Choose(path);
    prompt.ScriptAnswers({PromptAnswer::No});
    Click(*terminal, CTerminalDialog::kSaveButton);
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, path + "\nThis file already exists.\nReplace existing file?");
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompt.entries()[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(ReadFile(path), "keep me\r\n");
    EXPECT_EQ(terminal->LineCount(), 1);
    std::string stored;
    RegistrySettings::Instance().GetString(CommandLogFilePath, stored);
    EXPECT_EQ(stored, "/somewhere/else");

    files.Choose(path);
    prompt.ScriptAnswers({PromptAnswer::Yes});
    Click(*terminal, CTerminalDialog::kSaveButton);
    EXPECT_EQ(ReadFile(path), "07:42:015  Tx: EA?\r\n");
    RegistrySettings::Instance().GetString(CommandLogFilePath, stored);
    EXPECT_EQ(stored, folder);
}

TEST_F(TerminalTest, AFileThatCannotBeWrittenIsReportedAndItsFolderStillRemembered) {
    ScriptedFileDialog files;
    const std::string missing = ConfigDirForTest() + "/no-such-folder";
    terminal->AddLine("Tx: EA?");
    files.Choose(missing + "/log.csv");
    Click(*terminal, CTerminalDialog::kSaveButton);

    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, "File open error !");
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Stop);
    EXPECT_FALSE(fs::exists(missing));
    // No notice of a file that was not written.
    EXPECT_EQ(terminal->LineCount(), 1);
    std::string stored;
    RegistrySettings::Instance().GetString(CommandLogFilePath, stored);
    EXPECT_EQ(stored, missing);
}

// The log is taken once the dialog is answered: a line that comes in meanwhile is saved.
TEST_F(TerminalTest, ALineLoggedWhileTheDialogIsUpIsSavedToo) {
    struct LoggingDialog final : FileDialog {
        CTerminalDialog* terminal = nullptr;
        std::string path;
        FileDialogResult Run(const FileDialogRequest&) override {
            terminal->AddLine("Rx: GA=800");
            return {static_cast<int>(FileDialogCode::Ok), path};
        }
    } dialog;
    dialog.terminal = terminal.get();
    dialog.path = ConfigDirForTest() + "/late.csv";
    FileDialog::Install(&dialog);
    Click(*terminal, CTerminalDialog::kSaveButton);
    FileDialog::Install(nullptr);
    EXPECT_EQ(ReadFile(dialog.path), "07:42:015  Rx: GA=800\r\n");
}

TEST_F(TerminalTest, ABareFileNameLeavesNoFolderToRemember) {
    ScriptedFileDialog files;
    const std::string cwd = ConfigDirForTest() + "/cwd";
    fs::create_directories(cwd);
    RegistrySettings::Instance().SetString(CommandLogFilePath, "/somewhere/else");
    terminal->AddLine("Tx: EA?");
    const fs::path before = fs::current_path();
    fs::current_path(cwd);
    files.Choose("log.csv");
    Click(*terminal, CTerminalDialog::kSaveButton);
    fs::current_path(before);
    EXPECT_EQ(ReadFile(cwd + "/log.csv"), "07:42:015  Tx: EA?\r\n");
    std::string stored = "unset";
    RegistrySettings::Instance().GetString(CommandLogFilePath, stored);
    EXPECT_EQ(stored, "");
}

TEST_F(TerminalTest, ACancelledDialogDoesNothingAndAFailedOneSaysSo) {
    ScriptedFileDialog files;
    files.Cancel();
    Click(*terminal, CTerminalDialog::kSaveButton);
    EXPECT_TRUE(prompt.entries().empty());
    files.Fail(12290);
    Click(*terminal, CTerminalDialog::kSaveButton);
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, "Error in Load Dialog!");
    EXPECT_EQ(prompt.entries()[0].caption, "Load Error");
    EXPECT_EQ(prompt.entries()[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(terminal->LineCount(), 0);
    std::string stored;
    EXPECT_EQ(RegistrySettings::Instance().GetString(CommandLogFilePath, stored), 0);
}

TEST_F(TerminalTest, CloseAndEscapeHideTheWindowKeepingListAndText) {
    terminal->show();
    terminal->AddLine("Rx: COMPLETE");
    QTest::keyClicks(Edit(*terminal), QStringLiteral("LD=1"));
    Click(*terminal, CTerminalDialog::kCloseButton);
    EXPECT_FALSE(terminal->isVisible());
    EXPECT_TRUE(terminal->HasWindow());

    terminal->ShowNormal();
    EXPECT_TRUE(terminal->isVisible());
    QTest::keyClick(Edit(*terminal), Qt::Key_Escape);
    EXPECT_FALSE(terminal->isVisible());
    EXPECT_EQ(terminal->CommandText(), "LD=1");
    EXPECT_EQ(terminal->LineCount(), 1);
    EXPECT_TRUE(peer.ReadFor(100).empty());
}

TEST_F(TerminalTest, ScreenReadersSeeAListWithOneItemPerLineUpToAFullLog) {
    QWidget* list = terminal->Control(CTerminalDialog::kLogList);
    QAccessibleInterface* log = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->role(), QAccessible::List);
    EXPECT_EQ(log->text(QAccessible::Name), QStringLiteral("Log"));
    AddLines(32786 + 1);
    ASSERT_EQ(log->childCount(), 32786);
    EXPECT_EQ(log->child(0)->text(QAccessible::Name), QStringLiteral("07:42:015  line 32786"));
    EXPECT_EQ(log->child(32785)->text(QAccessible::Name), QStringLiteral("07:42:015  line 1"));
}

TEST_F(TerminalTest, SelectedLinesAreCopiedAsShownAndFollowTheirLinesAsNewOnesArrive) {
    terminal->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(terminal.get()));
    auto* list = qobject_cast<TerminalLogView*>(terminal->Control(CTerminalDialog::kLogList));
    ASSERT_NE(list, nullptr);
    AddLines(5);
    EXPECT_FALSE(list->selectionModel()->hasSelection());

    // Shift+click upwards: still in the order shown, newest first.
    ClickLines(*list, 2, 1);
    EXPECT_EQ(CopyWithCtrlC(*list), QStringLiteral("07:42:015  line 3\n07:42:015  line 2"));
    // The selection stays on its lines while a new one comes in on top.
    terminal->AddLine("Rx: GA=800");
    EXPECT_EQ(CopyWithCtrlC(*list), QStringLiteral("07:42:015  line 3\n07:42:015  line 2"));

    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 6);
    list->clearSelection();
    EXPECT_TRUE(ChooseFromContextMenu(*list, QStringLiteral("Select All")));
    QGuiApplication::clipboard()->clear();
    EXPECT_TRUE(ChooseFromContextMenu(*list, QStringLiteral("Copy")));
    EXPECT_EQ(QGuiApplication::clipboard()->text().split(QLatin1Char('\n')).size(), 6);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("07:42:015  Rx: GA=800\n")));
}

// Left, top, right and bottom edges of a control in the window's coordinates.
QRect Box(CTerminalDialog& terminal, int ctrlId) {
    QWidget* w = terminal.Control(ctrlId);
    return w ? QRect(w->mapTo(&terminal, QPoint(0, 0)), w->size()) : QRect();
}

TEST_F(TerminalTest, KeepsItsArrangementAtEverySize) {
    terminal->show();
    QRect before;
    for (const QSize size : {QSize(520, 380), QSize(900, 700)}) {
        terminal->resize(size);
        QApplication::processEvents();
        ASSERT_EQ(terminal->size(), size);
        const QRect edit = Box(*terminal, CTerminalDialog::kCommandEdit);
        const QRect list = Box(*terminal, CTerminalDialog::kLogList);
        const QRect close = Box(*terminal, CTerminalDialog::kCloseButton);
        const QRect send = Box(*terminal, CTerminalDialog::kSendButton);
        const QRect clear = Box(*terminal, CTerminalDialog::kClearButton);
        const QRect save = Box(*terminal, CTerminalDialog::kSaveButton);
        const QRect strip = Box(*terminal, CTerminalDialog::kStatusBar);

        // Edit at the top left; the list below it, as wide, down to just above the strip.
        EXPECT_LT(edit.left(), 20);
        EXPECT_LT(edit.top(), 20);
        EXPECT_EQ(list.left(), edit.left());
        EXPECT_EQ(list.right(), edit.right());
        EXPECT_GT(list.top(), edit.bottom());
        EXPECT_LT(list.top() - edit.bottom(), 20);
        EXPECT_LT(strip.top() - list.bottom(), 20);
        // The buttons stacked at the right edge in the order Close, Send, Clear, Save,
        // Close level with the edit.
        for (const QRect& b : {close, send, clear, save}) {
            EXPECT_GT(b.left(), edit.right());
            EXPECT_EQ(b.left(), close.left());
            EXPECT_EQ(b.width(), close.width());
            EXPECT_GE(b.width(), 60);
            EXPECT_LT(size.width() - 1 - b.right(), 20);
        }
        EXPECT_EQ(close.top(), edit.top());
        EXPECT_GT(send.top(), close.bottom());
        EXPECT_GT(clear.top(), send.bottom());
        EXPECT_GT(save.top(), clear.bottom());
        EXPECT_LT(save.bottom(), list.bottom());
        // The online bar along the whole bottom edge.
        EXPECT_LT(strip.left(), 10);
        EXPECT_LT(size.width() - 1 - strip.right(), 10);
        EXPECT_LT(size.height() - 1 - strip.bottom(), 10);

        if (before.isValid()) {
            // All the growth goes to the list.
            EXPECT_EQ(list.width() - before.width(), 900 - 520);
            EXPECT_EQ(list.height() - before.height(), 700 - 380);
        }
        before = list;
    }
}

// The terminal inside the tool, against the simulated camera.
class TerminalInMainWindowTest : public MainWindowTest {
  protected:
    FixedUtcTime clock{kAt0742015};
};

TEST_F(TerminalInMainWindowTest, IsCreatedHiddenAtStartAndLogsTheStartUpBothWays) {
    StartCamera();
    StartWindow(0);
    CTerminalDialog* terminal = dlg->Terminal();
    ASSERT_NE(terminal, nullptr);
    EXPECT_TRUE(terminal->HasWindow());
    EXPECT_FALSE(terminal->isVisible());
    EXPECT_EQ(terminal->windowTitle(), QStringLiteral("RS-232C TERMINAL"));
    // The first lines of the start-up are at the bottom, the newest on top.
    const int count = terminal->LineCount();
    ASSERT_GE(count, 4);
    EXPECT_EQ(terminal->Line(count - 1), QStringLiteral("07:42:015  Tx: MD?"));
    EXPECT_TRUE(terminal->Line(count - 2).startsWith(QStringLiteral("07:42:015  Rx: MD=")));
    EXPECT_EQ(terminal->Line(count - 3), QStringLiteral("07:42:015  Tx: EA?"));
    // Its bar shows the state of the link, and it takes part in the common disable.
    auto* strip = qobject_cast<StatusStrip*>(terminal->Control(CTerminalDialog::kStatusBar));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->FillColor(), QColor::fromRgb(kOnlineBarRgb));
    DialogRegistry::Instance().EnableAll(0);
    EXPECT_FALSE(terminal->isEnabled());
    DialogRegistry::Instance().EnableAll(1);
    EXPECT_TRUE(terminal->isEnabled());
}

TEST_F(TerminalInMainWindowTest, TheAnswerToARawLineArrivesThroughTheReceiveTimer) {
    StartCamera();
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("GA", 800); });
    StartWindow(1);
    dlg->show();
    // Button 1010 on the factory page shows the terminal.
    dlg->DispatchButtonClicked(ctl::kTerminal);
    CTerminalDialog* terminal = dlg->Terminal();
    ASSERT_TRUE(terminal->isVisible());

    camera->ClearLines();
    QLineEdit* edit = Edit(*terminal);
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("GA?"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(terminal->Line(0), QStringLiteral("07:42:015  Tx: GA?"));
    // Enter went to the terminal, not to the main window's pages.
    ASSERT_TRUE(camera->WaitForReceived(1, 5000));
    EXPECT_EQ(camera->ReceivedLines(), Strings{"GA?"});

    // No transaction waits for it: the main window's 25 ms timer collects the answer.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return terminal->Line(0) != QStringLiteral("07:42:015  Tx: GA?"); }, 5000));
    EXPECT_EQ(terminal->Line(0), QStringLiteral("07:42:015  Rx: GA=800"));
    EXPECT_EQ(camera->ReceivedLines(), Strings{"GA?"});
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(TerminalInMainWindowTest, AScreenReaderReadsTheQuestionAndTheAnswerAsListItems) {
    StartCamera();
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("GA", 800); });
    StartWindow(1);
    CTerminalDialog* terminal = dlg->Terminal();
    terminal->ShowNormal();
    Edit(*terminal)->setText(QStringLiteral("GA?"));
    Click(*terminal, CTerminalDialog::kSendButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return terminal->Line(0).contains(QStringLiteral("Rx: GA=")); }, 5000));

    QAccessibleInterface* log =
        QAccessible::queryAccessibleInterface(terminal->Control(CTerminalDialog::kLogList));
    ASSERT_NE(log, nullptr);
    ASSERT_EQ(log->childCount(), terminal->LineCount());
    EXPECT_EQ(log->child(0)->text(QAccessible::Name), QStringLiteral("07:42:015  Rx: GA=800"));
    EXPECT_EQ(log->child(1)->text(QAccessible::Name), QStringLiteral("07:42:015  Tx: GA?"));
    const int last = terminal->LineCount() - 1;
    EXPECT_EQ(log->child(last)->text(QAccessible::Name), QStringLiteral("07:42:015  Tx: MD?"));
}

TEST_F(TerminalInMainWindowTest, Button1010CreatesTheWindowWhenItIsGoneAndTheEndLeavesTheLog) {
    StartCamera();
    StartWindow(1);
    CTerminalDialog* terminal = dlg->Terminal();
    terminal->DestroyWindow();
    EXPECT_FALSE(terminal->HasWindow());
    const std::size_t dialogs = DialogRegistry::Instance().Count();

    dlg->DispatchButtonClicked(ctl::kTerminal);
    EXPECT_TRUE(terminal->HasWindow());
    EXPECT_TRUE(terminal->isVisible());
    EXPECT_EQ(DialogRegistry::Instance().Count(), dialogs + 1);

    dlg.reset();
    // Lines logged after the tool's window is gone reach no destroyed window.
    CommandLog::Instance().Log("Tx: after the end");
    EXPECT_EQ(DialogRegistry::Instance().Count(), 0u);
    EXPECT_EQ(OnlineStatusRegistry::Instance().Count(), 0u);
}

}  // namespace
}  // namespace vela::test
