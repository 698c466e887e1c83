#include "platform/qt/qtwaitcursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace vela {

void QtWaitCursor::Begin() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtWaitCursor::End() {
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace vela
