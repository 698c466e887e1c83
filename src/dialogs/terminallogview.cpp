#include "dialogs/terminallogview.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "camera/terminallog.h"

namespace vela {
namespace {

constexpr int kTextMargin = 3;

}  // namespace

TerminalLogView::TerminalLogView(const TerminalLog& log, QWidget* parent)
    : QAbstractScrollArea(parent), m_log(log) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
    UpdateScrollRange();
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

void TerminalLogView::UpdateScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    const int lines = static_cast<int>(m_log.Size());
    bar->setPageStep(VisibleLines());
    bar->setRange(0, std::max(0, lines - VisibleLines()));
}

void TerminalLogView::LineAdded() {
    QScrollBar* bar = verticalScrollBar();
    const int top = bar->value();
    UpdateScrollRange();
    if (top == 0) {
        // The lines in sight move down by one: only the new one at the top is painted.
        viewport()->scroll(0, LineHeight());
        return;
    }
    // Someone reading further down keeps reading the same lines, which stay where they are.
    m_keepContent = true;
    bar->setValue(top + 1);
    m_keepContent = false;
}

void TerminalLogView::Cleared() {
    UpdateScrollRange();
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void TerminalLogView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    const int height = LineHeight();
    const int ascent = fontMetrics().ascent();
    const QRect dirty = event->rect();
    const std::size_t size = m_log.Size();
    const int first = TopLine() + std::max(0, dirty.top() / height);
    for (int row = first; row >= 0 && static_cast<std::size_t>(row) < size; ++row) {
        const int y = (row - TopLine()) * height;
        if (y > dirty.bottom()) break;
        const std::string& line = m_log.At(static_cast<std::size_t>(row));
        // The camera speaks bytes; Latin-1 shows each as one character and loses none.
        painter.drawText(kTextMargin, y + ascent,
                         QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    }
}

void TerminalLogView::scrollContentsBy(int /*dx*/, int dy) {
    if (!m_keepContent) viewport()->scroll(0, dy * LineHeight());
}

void TerminalLogView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void TerminalLogView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateScrollRange();
        viewport()->update();
    }
}

}  // namespace vela
