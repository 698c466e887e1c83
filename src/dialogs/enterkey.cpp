#include "dialogs/enterkey.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace vela {

bool HandleEnterKey(QDialog& dialog, QKeyEvent* event) {
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !plain) return false;
    if (auto* button = qobject_cast<QPushButton*>(dialog.focusWidget())) {
        button->click();
    } else {
        dialog.accept();
    }
    return true;
}

}  // namespace vela
