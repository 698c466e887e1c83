#pragma once

#include <QAbstractScrollArea>

namespace vela {

class TerminalLog;

// The terminal's list: paints only the lines in sight, so a line added to a full log of
// 32786 costs the same as one added to an empty one. No selection, like the list box it
// stands for. Scrolled to the top it shows each new line; scrolled away, the lines in
// sight stay put while new ones arrive above them.
class TerminalLogView final : public QAbstractScrollArea {
    Q_OBJECT

  public:
    TerminalLogView(const TerminalLog& log, QWidget* parent = nullptr);

    // The log gained one line at the top (and may have lost its oldest).
    void LineAdded();
    // The log was emptied.
    void Cleared();

    // The index of the line at the top of the view (0 is the newest line).
    int TopLine() const;
    // How many whole lines the view shows at its current size.
    int VisibleLines() const;
    int LineHeight() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void UpdateScrollRange();

    const TerminalLog& m_log;
    // Set while the scroll position follows lines added above the ones in sight.
    bool m_keepContent = false;
};

}  // namespace vela
