#include "dialogs/linecopy.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QStringList>
#include <algorithm>

namespace vela {

QString SelectedLines(const QAbstractItemView& view) {
    const QItemSelectionModel* selection = view.selectionModel();
    if (!selection) return {};
    QModelIndexList rows = selection->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList lines;
    lines.reserve(rows.size());
    for (const QModelIndex& row : rows) lines << row.data(Qt::DisplayRole).toString();
    return lines.join(QLatin1Char('\n'));
}

void EnableLineCopy(QAbstractItemView* view) {
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto* copy = new QAction(QStringLiteral("Copy"), view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(copy, &QAction::triggered, view, [view] {
        const QString text = SelectedLines(*view);
        // Ctrl+C with nothing selected leaves the clipboard as it was.
        if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
    });
    auto* selectAll = new QAction(QStringLiteral("Select All"), view);
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(selectAll, &QAction::triggered, view, &QAbstractItemView::selectAll);
    view->addAction(copy);
    view->addAction(selectAll);

    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, view,
                     [view, copy, selectAll](const QPoint& at) {
                         copy->setEnabled(view->selectionModel() && view->selectionModel()->hasSelection());
                         selectAll->setEnabled(view->model() && view->model()->rowCount() > 0);
                         QMenu menu(view);
                         menu.addAction(copy);
                         menu.addAction(selectAll);
                         menu.exec(view->viewport()->mapToGlobal(at));
                         // The shortcuts work whatever the menu showed.
                         copy->setEnabled(true);
                         selectAll->setEnabled(true);
                     });
}

}  // namespace vela
