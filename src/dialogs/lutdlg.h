#pragma once

#include <QDialog>
#include <QString>

#include "camera/editpoints.h"
#include "camera/luttable.h"
#include "dialogs/dialogregistry.h"
#include "protocol/onlinestatusregistry.h"

class QLabel;
class QPainter;
class QSpinBox;

namespace vela {

class LutGraphPanel;
class StatusStrip;

// The LUT editor: a tool window showing one LUT table as a curve on a 256 x 256 pixel
// graph. The operator reads the table from the camera, reshapes it with spline edit
// points dragged by the pointer, and writes it back entry by entry.
class CLUTDlg : public QDialog, public COnlineStatusUpdater, public RegisteredDialog {
    Q_OBJECT

  public:
    static constexpr int kModeLabel = 1136;
    static constexpr int kReadButton = 1133;
    static constexpr int kWriteButton = 1054;
    static constexpr int kClearButton = 1055;
    static constexpr int kCountEdit = 1134;
    static constexpr int kCountSpin = 1135;
    static constexpr int kConvertButton = 1057;
    static constexpr int kGraphPanel = 1056;
    static constexpr int kStatusBar = 1067;

    enum Mode { EditMode = 0, ViewMode = 1 };

    // The graph panel's place in client pixels; its 256 x 256 drawing area lies inside a
    // 2-pixel edge, so graph pixel (0, 0) is client pixel (162, 22).
    static constexpr int kPanelLeft = 160;
    static constexpr int kPanelTop = 20;
    static constexpr int kPanelSize = 260;
    static constexpr int kPanelEdge = 2;

    static constexpr const char* kMonochromeTitle = "LUT Setting for Monochrome";

    // The object only: tables zero, two points. Create makes the window.
    explicit CLUTDlg(int colorIndex);
    ~CLUTDlg() override;
    CLUTDlg(const CLUTDlg&) = delete;
    CLUTDlg& operator=(const CLUTDlg&) = delete;

    // Builds the hidden top-level window, joins both registries and starts in EditMode on
    // the diagonal. Nothing when the window exists already.
    void Create();
    // Leaves both registries and hides the window.
    void DestroyWindow();

    // "LUT Setting for Red", "... Green", "... Blue" by colour index.
    static QString TitleFor(int colorIndex);
    int ColorIndex() const { return m_colorIndex; }

    // The buttons. Each transfer is a long operation; none starts while another runs.
    int ReadTableFromCamera();
    void WriteTableToCamera();
    // The read as part of a long operation that is already `running`.
    int ReadTableWithin(const LongOperation& running);
    void ClearTable();
    void ConvertEditable();
    // The table under the edit points' curve; every paint in EditMode runs it.
    void ComputeTableFromPoints();

    void SetMode(int mode);
    int GetMode() const { return m_mode; }
    // Marks the graph (with a margin for the point circles) for the next paint.
    void InvalidateGraph();
    // Paints the graph now.
    void DrawCurve();

    LutTable& Table() { return m_table; }
    const LutTable& Table() const { return m_table; }
    const EditPoints& Points() const { return m_points; }
    // Pointer motion at client pixel (mx, my) with the held PointerHeld set.
    void OnPointerMove(int mx, int my, unsigned held);
    // Draws the grid, the edit points (EditMode) and the curve in graph pixels.
    void PaintGraph(QPainter& painter);

    // The control with the id, or nullptr; the spin box answers to both of its ids.
    QWidget* FindControl(int ctrlId) const;

    // COnlineStatusUpdater
    bool HasStatusBarWindow() const override { return m_created; }
    void SetStatusBar(bool online) override;
    // RegisteredDialog
    bool HasWindow() const override { return m_created; }
    void EnableWindow(bool enable) override { setEnabled(enable); }

    // Enter does nothing; Escape and the close box hide the window.
    void accept() override {}
    void reject() override { hide(); }

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();

    int m_colorIndex;
    EditPoints m_points;
    LutTable m_table{};
    int m_mode = EditMode;
    bool m_created = false;

    LutGraphPanel* m_panel = nullptr;
    QLabel* m_modeLabel = nullptr;
    QSpinBox* m_count = nullptr;
    StatusStrip* m_statusBar = nullptr;
};

}  // namespace vela
