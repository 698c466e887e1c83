#include "tool/ctrltoolapp.h"

#include <QApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "dialogs/communicationdialog.h"
#include "mainwindow/ctrltooldlg.h"
#include "platform/filedialog.h"
#include "platform/prompt.h"
#include "platform/qt/qtfiledialog.h"
#include "platform/qt/qtprompt.h"
#include "platform/qt/qtshellopen.h"
#include "platform/qt/qtwaitcursor.h"
#include "platform/shellopen.h"

namespace vela {
namespace {

QString EnvText(const char* name) {
    const char* value = std::getenv(name);
    return value ? QString::fromLocal8Bit(value) : QString();
}

bool SavePicture(QWidget& widget, const QString& path) {
    const bool saved = widget.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

// Saves the window (and each tab when asked) once it has shown, then ends the run.
void ScheduleScreenshot(CCtrlToolDlg& dlg, const QString& path) {
    bool ok = false;
    int delay = EnvText("VELA_SCREENSHOT_AFTER_MS").toInt(&ok);
    if (!ok || delay < 0) delay = 500;
    const bool eachTab = EnvText("VELA_SCREENSHOT_TABS") == QStringLiteral("1");
    const bool communication = EnvText("VELA_SCREENSHOT_COMMUNICATION") == QStringLiteral("1");
    QTimer::singleShot(delay, &dlg, [&dlg, path, eachTab, communication] {
        SavePicture(dlg, path);
        if (communication && dlg.CommunicationDialog()) {
            const QFileInfo info(path);
            SavePicture(*dlg.CommunicationDialog(), info.path() + QLatin1Char('/') + info.completeBaseName() +
                                                        QStringLiteral("-communication.") + info.suffix());
        }
        if (eachTab) {
            const QFileInfo info(path);
            QTabWidget* tabs = dlg.TabControl();
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QString name = tabs->tabText(i).toLower().trimmed();
                name.replace(QLatin1Char(' '), QLatin1Char('-'));
                SavePicture(dlg, info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('-') +
                                     name + QLatin1Char('.') + info.suffix());
            }
            tabs->setCurrentIndex(0);
        }
        dlg.SetCloseWithoutConfirmation(1);
        dlg.close();
    });
}

}  // namespace

CCtrlToolApp::CCtrlToolApp(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}

int CCtrlToolApp::InitInstance() {
    QApplication app(m_argc, m_argv);
    QtPrompt prompt;
    QtWaitCursor waitCursor;
    QtFileDialog fileDialog;
    QtShellOpen shellOpen;
    Prompt::Install(&prompt);
    WaitCursor::Install(&waitCursor);
    FileDialog::Install(&fileDialog);
    ShellOpen::Install(&shellOpen);

    {
        CCtrlToolDlg dlg;
        dlg.OnInitDialog();
        const QString screenshot = EnvText("VELA_SCREENSHOT");
        if (!screenshot.isEmpty()) ScheduleScreenshot(dlg, screenshot);
        dlg.exec();
    }

    ShellOpen::Install(nullptr);
    FileDialog::Install(nullptr);
    WaitCursor::Install(nullptr);
    Prompt::Install(nullptr);
    return 0;
}

}  // namespace vela
