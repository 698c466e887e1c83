#include "dialogs/terminallogview.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "camera/terminallog.h"

namespace vela {
namespace {

constexpr int kTextMargin = 3;

}  // namespace

TerminalLogModel::TerminalLogModel(TerminalLog& log, QObject* parent)
    : QAbstractListModel(parent), m_log(log) {}

QString TerminalLogModel::Text(const std::string& line) {
    return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
}

void TerminalLogModel::AddNewest(std::string line) {
    beginInsertRows(QModelIndex(), 0, 0);
    m_log.PushNewest(std::move(line));
    endInsertRows();
    if (m_log.Size() <= TerminalLog::kMaxEntries) return;
    const int oldest = static_cast<int>(m_log.Size()) - 1;
    beginRemoveRows(QModelIndex(), oldest, oldest);
    m_log.DropOldest();
    endRemoveRows();
}

void TerminalLogModel::Clear() {
    beginResetModel();
    m_log.Clear();
    endResetModel();
}

int TerminalLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_log.Size());
}

QVariant TerminalLogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    return Text(m_log.At(static_cast<std::size_t>(index.row())));
}

TerminalLogView::TerminalLogView(TerminalLogModel& model, QWidget* parent)
    : QListView(parent), m_model(&model) {
    setModel(m_model);
    setUniformItemSizes(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(ExtendedSelection);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int) { RowsRemoved(first); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        updateGeometries();
        verticalScrollBar()->setValue(0);
        viewport()->update();
    });
    updateGeometries();
}

int TerminalLogView::LineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

int TerminalLogView::VisibleLines() const {
    return std::max(1, viewport()->height() / LineHeight());
}

int TerminalLogView::TopLine() const {
    return verticalScrollBar()->value();
}

int TerminalLogView::RowAt(int y) const {
    // Rounded down also above the viewport, where y is negative.
    const int height = LineHeight();
    return TopLine() + (y >= 0 ? y / height : (y - height + 1) / height);
}

QRect TerminalLogView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != m_model) return {};
    const int height = LineHeight();
    return QRect(0, (index.row() - TopLine()) * height, viewport()->width(), height);
}

QModelIndex TerminalLogView::indexAt(const QPoint& point) const {
    const int row = RowAt(point.y());
    if (point.y() < 0 || row >= m_model->rowCount()) return {};
    return m_model->index(row);
}

void TerminalLogView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) return;
    const int row = index.row();
    const int top = TopLine();
    const int lines = VisibleLines();
    QScrollBar* bar = verticalScrollBar();
    switch (hint) {
        case PositionAtTop:
            bar->setValue(row);
            break;
        case PositionAtBottom:
            bar->setValue(row - lines + 1);
            break;
        case PositionAtCenter:
            bar->setValue(row - lines / 2);
            break;
        case EnsureVisible:
            if (row < top) {
                bar->setValue(row);
            } else if (row >= top + lines) {
                bar->setValue(row - lines + 1);
            }
            break;
    }
}

void TerminalLogView::doItemsLayout() {
    // Nothing to lay out line by line: every line is one text line high.
    QAbstractItemView::doItemsLayout();
}

void TerminalLogView::updateGeometries() {
    QScrollBar* bar = verticalScrollBar();
    bar->setSingleStep(1);
    bar->setPageStep(VisibleLines());
    // A line added to a full log is there together with the oldest one only until that
    // goes: the range stays as it is, and the scroll bar is not laid out and painted again.
    const int lines = std::min(m_model->rowCount(), static_cast<int>(TerminalLog::kMaxEntries));
    bar->setRange(0, std::max(0, lines - VisibleLines()));
    horizontalScrollBar()->setRange(0, 0);
}

int TerminalLogView::horizontalOffset() const {
    return 0;
}

int TerminalLogView::verticalOffset() const {
    return TopLine() * LineHeight();
}

QModelIndex TerminalLogView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers /*modifiers*/) {
    const int count = m_model->rowCount();
    if (count == 0) return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return m_model->index(0);
    int row = current.row();
    switch (cursorAction) {
        case MoveUp:
        case MovePrevious:
            --row;
            break;
        case MoveDown:
        case MoveNext:
            ++row;
            break;
        case MovePageUp:
            row -= VisibleLines();
            break;
        case MovePageDown:
            row += VisibleLines();
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = count - 1;
            break;
        case MoveLeft:
        case MoveRight:
            break;
    }
    return m_model->index(std::clamp(row, 0, count - 1));
}

void TerminalLogView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    // A Shift+click above the first one comes as a rectangle upside down.
    const QRect lines = rect.normalized();
    const int last = m_model->rowCount() - 1;
    const int from = std::max(0, RowAt(lines.top()));
    const int to = std::min(last, RowAt(lines.bottom()));
    QItemSelection selection;
    if (from <= to) selection.select(m_model->index(from), m_model->index(to));
    selectionModel()->select(selection, command);
}

QRegion TerminalLogView::visualRegionForSelection(const QItemSelection& selection) const {
    // Only the lines in sight: a selection of all 32786 lines costs what a few do.
    const int top = TopLine();
    const int bottom = top + VisibleLines();
    const int height = LineHeight();
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const int from = std::max(top, range.top());
        const int to = std::min(bottom, range.bottom());
        if (from <= to)
            region += QRect(0, (from - top) * height, viewport()->width(), (to - from + 1) * height);
    }
    return region;
}

void TerminalLogView::rowsInserted(const QModelIndex& parent, int start, int end) {
    // Not QListView's: it would lay out every line again.
    QAbstractItemView::rowsInserted(parent, start, end);
    const int count = end - start + 1;
    QScrollBar* bar = verticalScrollBar();
    const int top = bar->value();
    updateGeometries();
    if (top == 0 && start == 0) {
        // The lines in sight move down: only the new ones at the top are painted.
        viewport()->scroll(0, count * LineHeight());
    } else if (start <= top && top + count > bar->maximum()) {
        // Scrolled to the oldest lines of a full log: they move up as the oldest goes.
        viewport()->update();
    } else if (start <= top) {
        // Someone reading further down keeps reading the same lines, which stay where they are.
        m_keepContent = true;
        bar->setValue(top + count);
        m_keepContent = false;
    } else if (start <= top + VisibleLines()) {
        viewport()->update();
    }
}

void TerminalLogView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    // Not QListView's: it would lay out every line again.
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
}

void TerminalLogView::RowsRemoved(int first) {
    updateGeometries();
    const int top = TopLine();
    if (first <= top + VisibleLines()) {
        const int y = std::max(0, (first - top) * LineHeight());
        viewport()->update(QRect(0, y, viewport()->width(), viewport()->height() - y));
    }
}

void TerminalLogView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                  const QList<int>& roles) {
    // Not QListView's: it would lay out every line again.
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void TerminalLogView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QColor text = palette().color(group, QPalette::Text);
    const int height = LineHeight();
    const int ascent = fontMetrics().ascent();
    const int width = viewport()->width();
    const QRect dirty = event->rect();
    const int count = m_model->rowCount();
    const QItemSelectionModel* selection = selectionModel();
    const QModelIndex current = currentIndex();
    const int top = TopLine();
    for (int row = top + std::max(0, dirty.top() / height); row >= 0 && row < count; ++row) {
        const int y = (row - top) * height;
        if (y > dirty.bottom()) break;
        const QModelIndex index = m_model->index(row);
        const bool selected = selection->isSelected(index);
        if (selected)
            painter.fillRect(QRect(0, y, width, height), palette().brush(group, QPalette::Highlight));
        painter.setPen(selected ? palette().color(group, QPalette::HighlightedText) : text);
        painter.drawText(kTextMargin, y + ascent, m_model->data(index).toString());
        if (row == current.row() && hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = QRect(0, y, width, height);
            option.backgroundColor = palette().color(group, selected ? QPalette::Highlight : QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
}

void TerminalLogView::scrollContentsBy(int /*dx*/, int dy) {
    if (!m_keepContent) viewport()->scroll(0, dy * LineHeight());
}

void TerminalLogView::changeEvent(QEvent* event) {
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateGeometries();
        viewport()->update();
    }
}

}  // namespace vela
