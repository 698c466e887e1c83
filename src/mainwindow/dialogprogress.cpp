#include "mainwindow/dialogprogress.h"

#include <QCoreApplication>

#include "dialogs/progressbardialog.h"

namespace vela {

void DialogProgress::Start(const std::string& message) {
    CProgressBarDialog::Instance().Start(m_owner, QString::fromStdString(message));
}

void DialogProgress::SetPos(int percent) {
    CProgressBarDialog::Instance().SetPos(percent);
}

void DialogProgress::Finish() {
    if (m_beforeFinish) m_beforeFinish();
    CProgressBarDialog::Instance().Finish();
}

void DialogProgress::DrainMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace vela
