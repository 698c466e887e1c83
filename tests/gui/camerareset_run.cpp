// The tool's run as vela-control makes it, with an operator who presses "Camera Reset"
// as soon as the window shows. Prints every box it showed, one a line, and exits 0 when
// the run has ended; 3 when it did not end within half a minute.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "mainwindow/ctrltooldlg.h"
#include "protocol/controlids.h"
#include "support/recordingprompt.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Any question is answered No, so a question asked on the way out keeps the tool open.
    vela::RecordingPrompt prompt;
    {
        vela::CCtrlToolDlg dlg;
        dlg.OnInitDialog();
        QTimer::singleShot(0, &dlg, [&dlg] {
            if (auto* reset = qobject_cast<QPushButton*>(dlg.FindControl(vela::ctl::kCameraReset)))
                reset->click();
        });
        QTimer::singleShot(30000, &dlg, [] { std::_Exit(3); });
        dlg.exec();
    }
    for (const vela::RecordingPrompt::Entry& entry : prompt.entries()) {
        std::printf("%s|%s|%s\n", entry.buttons == vela::PromptButtons::YesNo ? "question" : "box",
                    entry.caption.c_str(), entry.text.c_str());
    }
    // Returning from main ends the process as the tool's own run ends it.
    return 0;
}
