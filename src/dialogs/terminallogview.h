#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <string>

namespace vela {

class TerminalLog;

// The terminal's lines as a list model: row 0 is the newest line, each row's text the
// line as shown. Lines go in and out through it, so that views (and the accessibility
// bridge) hear of each change.
class TerminalLogModel final : public QAbstractListModel {
    Q_OBJECT

  public:
    TerminalLogModel(TerminalLog& log, QObject* parent = nullptr);

    // Puts the line on top and drops the oldest beyond 32786 lines.
    void AddNewest(std::string line);
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The camera speaks bytes; Latin-1 shows each as one character and loses none.
    static QString Text(const std::string& line);

  private:
    TerminalLog& m_log;
};

// The terminal's list: a list view whose lines all have the height of one text line, laid
// out by arithmetic rather than line by line, so that a line added to a full log of 32786
// costs the same as one added to an empty one. Lines are selected with the mouse or the
// keyboard and copied (see EnableLineCopy). Scrolled to the top it shows each new line;
// scrolled away, the lines in sight stay put while new ones arrive above them.
class TerminalLogView final : public QListView {
    Q_OBJECT

  public:
    TerminalLogView(TerminalLogModel& model, QWidget* parent = nullptr);

    // The index of the line at the top of the view (0 is the newest line).
    int TopLine() const;
    // How many whole lines the view shows at its current size.
    int VisibleLines() const;
    int LineHeight() const;

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void updateGeometries() override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

  private:
    int RowAt(int y) const;
    void RowsRemoved(int first);

    TerminalLogModel* m_model;
    // Set while the scroll position follows lines added above the ones in sight.
    bool m_keepContent = false;
};

}  // namespace vela
