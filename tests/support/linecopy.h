#pragma once

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace vela::test {

// Clicks line `first` of a log, then Shift+clicks line `last`, as the operator selects lines.
inline void ClickLines(QAbstractItemView& view, int first, int last) {
    const auto at = [&view](int row) { return view.visualRect(view.model()->index(row, 0)).center(); };
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at(first));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, at(last));
}

// Presses Ctrl+C in the log and returns what the clipboard then holds.
inline QString CopyWithCtrlC(QAbstractItemView& view) {
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    return QGuiApplication::clipboard()->text();
}

// Opens the log's context menu and chooses the item with this text; false when the menu
// has no such item enabled.
inline bool ChooseFromContextMenu(QAbstractItemView& view, const QString& text) {
    bool chosen = false;
    QTimer::singleShot(0, &view, [&chosen, &text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* action : menu->actions()) {
            if (action->text() != text || !action->isEnabled()) continue;
            chosen = true;
            action->trigger();
        }
        menu->close();
    });
    const QPoint at(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view.viewport()->mapToGlobal(at));
    QApplication::sendEvent(view.viewport(), &event);
    return chosen;
}

}  // namespace vela::test
