#include "app/ctrltoolapp.h"

#include <QApplication>
#include <QDialog>

#include "platform/prompt.h"
#include "platform/qtprompt.h"

namespace vela {

CCtrlToolApp::CCtrlToolApp(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}

int CCtrlToolApp::InitInstance() {
    QApplication app(m_argc, m_argv);
    QtPrompt prompt;
    QtWaitCursor waitCursor;
    Prompt::Install(&prompt);
    WaitCursor::Install(&waitCursor);

    {
        QDialog dlg;
        dlg.setWindowTitle(QStringLiteral("VELA-4K/8K Control Tool  Ver 0.20"));
        dlg.resize(860, 460);
        dlg.exec();
    }

    WaitCursor::Install(nullptr);
    Prompt::Install(nullptr);
    return 0;
}

}  // namespace vela
