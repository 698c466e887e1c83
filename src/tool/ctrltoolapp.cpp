#include "tool/ctrltoolapp.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

#include "camera/editpoints.h"
#include "dialogs/communicationdialog.h"
#include "dialogs/lutdlg.h"
#include "dialogs/luteditors.h"
#include "dialogs/resultboxes.h"
#include "dialogs/terminaldialog.h"
#include "mainwindow/ctrltooldlg.h"
#include "platform/filedialog.h"
#include "platform/prompt.h"
#include "platform/qt/qtfiledialog.h"
#include "platform/qt/qtprompt.h"
#include "platform/qt/qtshellopen.h"
#include "platform/qt/qtwaitcursor.h"
#include "platform/shellopen.h"
#include "platform/stoprequest.h"
#include "protocol/controlids.h"
#include "tool/runending.h"
#include "tool/startupwatch.h"

namespace vela {
namespace {

// QT_LOGGING_RULES="vela.startup.info=true" tells how long start-up took to the pages
// showing the camera's values.
Q_LOGGING_CATEGORY(lcStartUp, "vela.startup", QtWarningMsg)

QString EnvText(const char* name) {
    const char* value = std::getenv(name);
    return value ? QString::fromLocal8Bit(value) : QString();
}

// Opens the terminal, sends `lines` through it as the operator would, each given time for
// its answer, and saves the terminal as path-terminal.png.
void ShootTerminal(CCtrlToolDlg& dlg, const QStringList& lines, const QString& path) {
    dlg.DispatchButtonClicked(ctl::kTerminal);
    CTerminalDialog* terminal = dlg.Terminal();
    auto* edit = qobject_cast<QLineEdit*>(terminal->Control(CTerminalDialog::kCommandEdit));
    for (const QString& line : lines) {
        edit->setText(line);
        terminal->OnSend();
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    SavePicture(*terminal, SiblingPath(path, QStringLiteral("terminal")));

    // A question and its answer selected, as the operator does before copying them
    // (path-terminal-selection).
    auto* list = qobject_cast<QAbstractItemView*>(terminal->Control(CTerminalDialog::kLogList));
    int row = 0;
    for (int i = 0; i + 1 < terminal->LineCount(); ++i) {
        if (terminal->Line(i).endsWith(QStringLiteral("Rx: GA=800")) &&
            terminal->Line(i + 1).endsWith(QStringLiteral("Tx: GA?"))) {
            row = i;
            break;
        }
    }
    terminal->activateWindow();
    list->setFocus(Qt::MouseFocusReason);
    const QModelIndex first = list->model()->index(row, 0);
    const QModelIndex second = list->model()->index(row + 1, 0);
    list->selectionModel()->setCurrentIndex(second, QItemSelectionModel::NoUpdate);
    list->selectionModel()->select(QItemSelection(first, second), QItemSelectionModel::ClearAndSelect);
    QCoreApplication::processEvents();
    SavePicture(*terminal, SiblingPath(path, QStringLiteral("terminal-selection")));
}

// The monochrome LUT editor: the diagonal converted to 8 edit points and bent into an S
// by the pointer (path-lut-edit-mode); then that table written to the camera, the editor
// cleared and the camera's table read back (path-lut-view-mode).
void ShootLutEditor(CCtrlToolDlg& dlg, const QString& path) {
    dlg.ShowLutEditors(1);
    CLUTDlg* editor = dlg.LutEditorWindows().Editor(LutEditors::kMonochromeEditor);
    // A window not yet on the screen does not paint, and only a paint computes the table
    // that "Convert Editable" spreads its points along.
    QElapsedTimer waited;
    waited.start();
    while (!(editor->windowHandle() && editor->windowHandle()->isExposed()) && waited.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    editor->ClearTable();
    editor->DrawCurve();
    editor->ConvertEditable();
    // Each motion takes the edit point within reach along: the dark end down, the bright end up.
    for (const QPoint to : {QPoint(73, 205), QPoint(73, 212), QPoint(182, 50), QPoint(182, 44)}) {
        editor->OnPointerMove(kGraphClientLeft + to.x(), kGraphClientTop + to.y(), kHeldLeft);
    }
    editor->DrawCurve();
    SavePicture(*editor, SiblingPath(path, QStringLiteral("lut-edit-mode")));
    editor->WriteTableToCamera();
    editor->ClearTable();
    editor->DrawCurve();
    editor->ReadTableFromCamera();
    SavePicture(*editor, SiblingPath(path, QStringLiteral("lut-view-mode")));
}

int ScreenshotDelayMs() {
    bool ok = false;
    const int delay = EnvText("VELA_SCREENSHOT_AFTER_MS").toInt(&ok);
    return ok && delay >= 0 ? delay : 500;
}

// Saves the window (and each tab, the terminal after an exchange and the LUT editor, when
// asked) once it has shown, then ends the run.
void ScheduleScreenshot(CCtrlToolDlg& dlg, const QString& path) {
    const bool eachTab = EnvText("VELA_SCREENSHOT_TABS") == QStringLiteral("1");
    const bool communication = EnvText("VELA_SCREENSHOT_COMMUNICATION") == QStringLiteral("1");
    const QString terminalLines = EnvText("VELA_SCREENSHOT_TERMINAL");
    const bool lutEditor = EnvText("VELA_SCREENSHOT_LUT") == QStringLiteral("1");
    QTimer::singleShot(
        ScreenshotDelayMs(), &dlg, [&dlg, path, eachTab, communication, terminalLines, lutEditor] {
            SavePicture(dlg, path);
            if (communication && dlg.CommunicationDialog()) {
                SavePicture(*dlg.CommunicationDialog(), SiblingPath(path, QStringLiteral("communication")));
            }
            if (eachTab) {
                QTabWidget* tabs = dlg.TabControl();
                for (int i = 0; i < tabs->count(); ++i) {
                    tabs->setCurrentIndex(i);
                    QString name = tabs->tabText(i).toLower().trimmed();
                    name.replace(QLatin1Char(' '), QLatin1Char('-'));
                    SavePicture(dlg, SiblingPath(path, name));
                }
                tabs->setCurrentIndex(0);
            }
            if (!terminalLines.isEmpty()) ShootTerminal(dlg, terminalLines.split(QLatin1Char(';')), path);
            if (lutEditor) ShootLutEditor(dlg, path);
            dlg.SetCloseWithoutConfirmation(1);
            dlg.close();
        });
}

// Opens the menu item `commandId` once the window has shown, saves the modal window the
// item opens, closes it, then ends the run.
void ScheduleMenuScreenshot(CCtrlToolDlg& dlg, int commandId, const QString& path) {
    QTimer::singleShot(ScreenshotDelayMs(), &dlg, [&dlg, commandId, path] {
        auto* poll = new QTimer(&dlg);
        poll->setInterval(50);
        QObject::connect(poll, &QTimer::timeout, &dlg, [poll, path, &dlg] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == &dlg) return;
            poll->stop();
            poll->deleteLater();
            SavePicture(*modal, path);
            modal->close();
        });
        poll->start();
        dlg.OnMenuCommand(commandId);
        dlg.SetCloseWithoutConfirmation(1);
        dlg.close();
    });
}

}  // namespace

CCtrlToolApp::CCtrlToolApp(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}

int CCtrlToolApp::InitInstance() {
    QElapsedTimer sinceStart;
    sinceStart.start();
    // From here on SIGINT, SIGTERM and SIGHUP end the run in order instead of killing it.
    InstallStopSignals();
    QApplication app(m_argc, m_argv);
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELA_APP_ID));
    QtPrompt prompt;
    QtWaitCursor waitCursor;
    QtFileDialog fileDialog;
    QtShellOpen shellOpen;
    Prompt::Install(&prompt);
    WaitCursor::Install(&waitCursor);
    FileDialog::Install(&fileDialog);
    ShellOpen::Install(&shellOpen);
    ShowEngineEventsAsBoxes();

    {
        CCtrlToolDlg dlg;
        const QString screenshot = EnvText("VELA_SCREENSHOT");
        bool menuGiven = false;
        const int menuItem = EnvText("VELA_SCREENSHOT_MENU").toInt(&menuGiven);
        StartUpWatch watch(dlg, screenshot, ScreenshotDelayMs(),
                           !menuGiven && EnvText("VELA_SCREENSHOT_SCREEN") == QStringLiteral("1"));
        RunEnding ending(dlg);
        dlg.OnInitDialog();
        watch.StartUpDone();
        // The first turn of the event loop, once the window is up.
        QTimer::singleShot(0, &dlg, [&sinceStart] {
            qCInfo(lcStartUp, "pages show the camera's values %lld ms after start", sinceStart.elapsed());
        });
        if (screenshot.isEmpty() || watch.TakesThePicture()) {
            // nothing to schedule: no picture asked for, or the watch takes it
        } else if (menuGiven) {
            ScheduleMenuScreenshot(dlg, menuItem, screenshot);
        } else {
            ScheduleScreenshot(dlg, screenshot);
        }
        if (StopRequested()) {
            // Asked to end during start-up: the window closes without showing.
            dlg.SetCloseWithoutConfirmation(1);
            dlg.reject();
        } else {
            QTimer::singleShot(0, &ending, [&ending] { ending.LoopStarted(); });
            dlg.exec();
        }
    }

    ShellOpen::Install(nullptr);
    FileDialog::Install(nullptr);
    WaitCursor::Install(nullptr);
    Prompt::Install(nullptr);
    return 0;
}

}  // namespace vela
