#include "dialogs/lutdlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "camera/lutcurve.h"
#include "camera/luttransfer.h"
#include "dialogs/controlnames.h"
#include "dialogs/progressbardialog.h"
#include "dialogs/statusstrip.h"
#include "platform/waitcursor.h"
#include "protocol/command.h"

namespace vela {

// The graph panel: a sunken 2-pixel edge around a 256 x 256 drawing area. The pointer
// passes through it to the editor, whose client pixels the mouse rules are written in.
class LutGraphPanel : public QFrame {
  public:
    explicit LutGraphPanel(CLUTDlg* editor) : QFrame(editor), m_editor(editor) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(CLUTDlg::kPanelEdge);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::white);
        setPalette(p);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        // Drawing in logical pixels: at 150 % the painter scales, so the lines and the
        // curve are drawn at the screen's resolution, not a 256-pixel image enlarged.
        painter.translate(contentsRect().topLeft());
        painter.setClipRect(QRect(0, 0, kGraphSize, kGraphSize));
        m_editor->PaintGraph(painter);
    }

  private:
    CLUTDlg* m_editor;
};

namespace {

const QColor kGridColor(100, 50, 100);

QColor CurveColor(int colorIndex) {
    switch (colorIndex) {
        case 1:
            return QColor(0, 255, 0);
        case 2:
            return QColor(0, 0, 255);
        default:
            return QColor(255, 0, 0);
    }
}

// The progress window and the message pump of one transfer.
class EditorProgress final : public LutTransferProgress {
  public:
    EditorProgress(CLUTDlg& editor, bool activateEditor) : m_editor(editor), m_activate(activateEditor) {}
    void Start(const std::string& message) override {
        CProgressBarDialog::Instance().Start(&m_editor, QString::fromStdString(message));
    }
    void SetMessage(const std::string& message) override {
        CProgressBarDialog::Instance().SetMessage(QString::fromStdString(message));
    }
    void SetPos(int percent) override { CProgressBarDialog::Instance().SetPos(percent); }
    void Finish() override { CProgressBarDialog::Instance().Finish(); }
    void EntryDone() override {
        QCoreApplication::processEvents();
        if (m_activate) m_editor.activateWindow();
    }

  private:
    CLUTDlg& m_editor;
    bool m_activate;
};

unsigned HeldSet(const QMouseEvent& event) {
    unsigned held = 0;
    const Qt::MouseButtons b = event.buttons();
    if (b & Qt::LeftButton) held |= kHeldLeft;
    if (b & Qt::RightButton) held |= kHeldRight;
    if (b & Qt::MiddleButton) held |= kHeldMiddle;
    if (b & Qt::XButton1) held |= kHeldExtra1;
    if (b & Qt::XButton2) held |= kHeldExtra2;
    if (event.modifiers() & Qt::ShiftModifier) held |= kHeldShift;
    if (event.modifiers() & Qt::ControlModifier) held |= kHeldControl;
    return held;
}

template <class W>
W* Bind(W* widget, int ctrlId) {
    widget->setObjectName(QStringLiteral("ctl%1").arg(ctrlId));
    widget->setProperty("ctrlId", ctrlId);
    return widget;
}

QLabel* Text(const QString& caption, QWidget* parent, Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop) {
    auto* label = new QLabel(caption, parent);
    label->setAlignment(align);
    return label;
}

}  // namespace

QString CLUTDlg::TitleFor(int colorIndex) {
    switch (colorIndex) {
        case 0:
            return QStringLiteral("LUT Setting for Red");
        case 1:
            return QStringLiteral("LUT Setting for Green");
        case 2:
            return QStringLiteral("LUT Setting for Blue");
        default:
            return QStringLiteral("LUT Setting");
    }
}

CLUTDlg::CLUTDlg(int colorIndex)
    : QDialog(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint),
      m_colorIndex(colorIndex) {
    setObjectName(QStringLiteral("lutEditor%1").arg(colorIndex));
    setModal(false);
}

CLUTDlg::~CLUTDlg() {
    // The registries outlive this object; they must not keep a pointer to it.
    DestroyWindow();
}

void CLUTDlg::Create() {
    if (m_created) return;
    if (!m_panel) BuildControls();
    m_created = true;
    OnlineStatusRegistry::Instance().Register(this);
    DialogRegistry::Instance().Register(this);
    m_points.Clear();
    setWindowTitle(TitleFor(m_colorIndex));
    m_count->setValue(8);
    SetMode(EditMode);
}

void CLUTDlg::DestroyWindow() {
    if (!m_created) return;
    OnlineStatusRegistry::Instance().Unregister(this);
    DialogRegistry::Instance().Unregister(this);
    hide();
    m_created = false;
}

void CLUTDlg::BuildControls() {
    // The window keeps its graph at fixed client pixels, so the controls around it use
    // a small font to fit the columns beside it.
    QFont small = font();
    small.setPointSizeF(8.0);
    setFont(small);

    auto button = [this](int ctrlId, const QString& caption, auto action) {
        auto* b = Bind(new QPushButton(caption, this), ctrlId);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, action] { std::invoke(action, this); });
        return b;
    };

    // The left column: mode, operations, the edit-point count.
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(10);

    auto* modeBox = new QGroupBox(QStringLiteral("Current Mode Status"), left);
    auto* modeLayout = new QVBoxLayout(modeBox);
    m_modeLabel = Bind(Text(QString(), modeBox, Qt::AlignCenter), kModeLabel);
    modeLayout->addWidget(m_modeLabel);
    leftLayout->addWidget(modeBox);

    auto* operationBox = new QGroupBox(QStringLiteral("Operation"), left);
    auto* operationLayout = new QVBoxLayout(operationBox);
    operationLayout->setSpacing(6);
    operationLayout->addWidget(
        button(kReadButton, QStringLiteral("Read Table Data"), &CLUTDlg::ReadTableFromCamera));
    operationLayout->addWidget(
        button(kWriteButton, QStringLiteral("Write Table Data"), &CLUTDlg::WriteTableToCamera));
    operationLayout->addWidget(
        button(kClearButton, QStringLiteral("Clear Table Data"), &CLUTDlg::ClearTable));
    leftLayout->addWidget(operationBox);

    auto* convertBox = new QGroupBox(QStringLiteral("Change To Edit Mode"), left);
    auto* convertLayout = new QGridLayout(convertBox);
    // The narrow column needs the room: small insets, the spin no wider than two digits.
    convertLayout->setContentsMargins(3, 4, 3, 4);
    convertLayout->setHorizontalSpacing(2);
    QLabel* countLabel = Text(QStringLiteral("Edit Point\nCount To Add"), convertBox);
    convertLayout->addWidget(countLabel, 0, 0);
    // The read-only number and its arrows are one spin box answering to both ids.
    m_count = Bind(new QSpinBox(convertBox), kCountSpin);
    m_count->setProperty("buddyId", kCountEdit);
    m_count->setRange(2, 16);
    m_count->setValue(8);
    NameAfterLabel(m_count, countLabel);
    // Only the arrows (buttons and keys) change the number, as with a read-only buddy edit.
    m_count->findChild<QLineEdit*>()->setReadOnly(true);
    // Two digits and the arrows.
    m_count->setFixedWidth(m_count->fontMetrics().horizontalAdvance(QStringLiteral("16")) + 22);
    convertLayout->addWidget(m_count, 0, 1);
    convertLayout->addWidget(
        button(kConvertButton, QStringLiteral("Convert Editable"), &CLUTDlg::ConvertEditable), 1, 0, 1, 2);
    leftLayout->addWidget(convertBox);
    leftLayout->addStretch(1);

    const int axisWidth = fontMetrics().horizontalAdvance(QStringLiteral("4095")) + 2;
    const int axisRight = kPanelLeft - 2;
    left->setGeometry(2, kPanelTop - 6, axisRight - axisWidth - 4, kPanelSize + 12);

    // The graph and its axis labels.
    m_panel = Bind(new LutGraphPanel(this), kGraphPanel);
    m_panel->setGeometry(kPanelLeft, kPanelTop, kPanelSize, kPanelSize);
    const int line = fontMetrics().height();
    const auto place = [this](const QString& caption, QRect r, Qt::Alignment align) {
        Text(caption, this, align)->setGeometry(r);
    };
    place(QStringLiteral("4095"), QRect(axisRight - axisWidth, kPanelTop, axisWidth, line), Qt::AlignRight);
    place(QStringLiteral("2048"),
          QRect(axisRight - axisWidth, kPanelTop + kPanelSize / 2 - line / 2, axisWidth, line),
          Qt::AlignRight | Qt::AlignVCenter);
    place(QStringLiteral("0"), QRect(axisRight - axisWidth, kPanelTop + kPanelSize - line, axisWidth, line),
          Qt::AlignRight | Qt::AlignBottom);
    const int below = kPanelTop + kPanelSize + 2;
    place(QStringLiteral("0"), QRect(kPanelLeft, below, 40, line), Qt::AlignLeft | Qt::AlignTop);
    place(QStringLiteral("128"), QRect(kPanelLeft + kPanelSize / 2 - 20, below, 40, line),
          Qt::AlignHCenter | Qt::AlignTop);
    place(QStringLiteral("255"), QRect(kPanelLeft + kPanelSize - 40, below, 40, line),
          Qt::AlignRight | Qt::AlignTop);

    // The right column: how the pointer edits, level with the lower half of the graph.
    auto* usageBox = new QGroupBox(QStringLiteral("Usage Descritption"), this);
    auto* usageLayout = new QVBoxLayout(usageBox);
    usageLayout->setSpacing(8);
    for (const char* usage :
         {"<< Add edit point >>\n  Left mouse click\n  on LUT line",
          "<< Delete edit point >>\n  Right mouse click\n  at edit point",
          "<< Move LUT line >>\n  Move with keeping left\n  mouse click on\n  edit point."}) {
        usageLayout->addWidget(Text(QString::fromLatin1(usage), usageBox));
    }
    const QSize usageSize = usageBox->sizeHint();
    const int usageLeft = kPanelLeft + kPanelSize + 12;
    const int usageTop = std::max(kPanelTop, kPanelTop + kPanelSize - usageSize.height());
    usageBox->setGeometry(usageLeft, usageTop, usageSize.width(), usageSize.height());

    const int clientWidth = usageLeft + usageSize.width() + 8;
    const int stripTop = std::max(below + line + 6, left->geometry().bottom() + 6);
    m_statusBar = new StatusStrip(kStatusBar, this);
    const int stripHeight = m_statusBar->sizeHint().height();
    m_statusBar->setGeometry(0, stripTop, clientWidth, stripHeight);
    setFixedSize(clientWidth, stripTop + stripHeight);
}

QWidget* CLUTDlg::FindControl(int ctrlId) const {
    for (QWidget* w : findChildren<QWidget*>()) {
        const QVariant id = w->property("ctrlId");
        const QVariant buddy = w->property("buddyId");
        if ((id.isValid() && id.toInt() == ctrlId) || (buddy.isValid() && buddy.toInt() == ctrlId)) return w;
    }
    return nullptr;
}

void CLUTDlg::SetMode(int mode) {
    m_mode = mode;
    const char* text = mode == EditMode ? "Edit Mode" : mode == ViewMode ? "View Mode" : "Unknown Mode";
    if (m_modeLabel) m_modeLabel->setText(QLatin1String(text));
}

void CLUTDlg::InvalidateGraph() {
    update(QRect(QPoint(155, 15), QPoint(424, 284)));
    // An update of the window skips its opaque children; the panel is one.
    if (m_panel) m_panel->update();
}

void CLUTDlg::DrawCurve() {
    if (m_panel) m_panel->repaint();
}

void CLUTDlg::ComputeTableFromPoints() {
    m_table = vela::ComputeTableFromPoints(m_points);
}

void CLUTDlg::ClearTable() {
    m_points.Clear();
    InvalidateGraph();
    SetMode(EditMode);
}

void CLUTDlg::ConvertEditable() {
    m_points.ConvertFromTable(m_table, m_count->value());
    SetMode(EditMode);
    InvalidateGraph();
}

void CLUTDlg::OnPointerMove(int mx, int my, unsigned held) {
    if (m_points.OnPointerMove(mx, my, held)) InvalidateGraph();
}

void CLUTDlg::mouseMoveEvent(QMouseEvent* event) {
    // The rules count whole client pixels, as the window system reports them.
    const QPoint p = event->position().toPoint();
    OnPointerMove(p.x(), p.y(), HeldSet(*event));
}

void CLUTDlg::PaintGraph(QPainter& painter) {
    // The grid stays unsmoothed and a whole number of screen pixels wide, so its lines stay
    // sharp and even at any scaling (a 1.5-pixel line would alternate between 1 and 2).
    QPen gridPen(kGridColor, std::max(1, qRound(painter.device()->devicePixelRatioF())), Qt::SolidLine);
    gridPen.setCosmetic(true);
    painter.setPen(gridPen);
    const int step = kGraphSize / 10;
    for (int x = 0; x < kGraphSize; x += step) painter.drawLine(x, 0, x, kGraphSize);
    for (int y = kGraphSize - 1; y >= 0; y -= step) painter.drawLine(0, y, kGraphSize, y);

    painter.setRenderHint(QPainter::Antialiasing, true);
    QPointF from(0, kGraphSize);
    if (m_mode == EditMode) {
        painter.setBrush(Qt::white);
        for (int i = 0; i < m_points.Count(); ++i) {
            const EditPoint& p = m_points.At(i);
            painter.drawEllipse(QRect(QPoint(p.x - 4, p.y - 4), QPoint(p.x + 4, p.y + 4)));
        }
        painter.setBrush(Qt::NoBrush);
        ComputeTableFromPoints();
        from = QPointF(m_points.At(0).x, m_points.At(0).y);
    }

    QPainterPath curve(from);
    const LutTable& input = LutInputTable();
    for (std::size_t i = 0; i < kLutSize; ++i) {
        const int x = input[i] / 16;
        const int y = GraphYOfValue(m_table[i]);
        if (x < 0 || x > kGraphSize || y < 0 || y > kGraphSize) continue;
        curve.lineTo(x, y);
    }
    painter.setPen(QPen(CurveColor(m_colorIndex), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(curve);
}

int CLUTDlg::ReadTableFromCamera() {
    const LongOperation operation;
    return operation.Started() ? ReadTableWithin(operation) : 0;
}

int CLUTDlg::ReadTableWithin(const LongOperation& /*running*/) {
    WaitCursorScope cursor;
    EditorProgress progress(*this, true);
    // Read beside the table: in EditMode every paint during the transfer (the windows are
    // disabled and repainted meanwhile) recomputes the table from the edit points, which
    // would overwrite the entries already read.
    LutTable read = m_table;
    const int result = ReadLutTable(Command::Instance(), read, progress);
    m_table = read;
    SetMode(ViewMode);
    InvalidateGraph();
    DrawCurve();
    return result;
}

void CLUTDlg::WriteTableToCamera() {
    const LongOperation operation;
    if (!operation.Started()) return;
    WaitCursorScope cursor;
    EditorProgress progress(*this, false);
    // The table of the last paint, whatever a paint during the transfer computes.
    const LutTable sent = m_table;
    WriteLutTable(Command::Instance(), sent, progress);
}

void CLUTDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CLUTDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void CLUTDlg::SetStatusBar(bool online) {
    if (m_statusBar) m_statusBar->ShowOnline(online);
}

}  // namespace vela
