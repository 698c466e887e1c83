#include "dialogs/terminaldialog.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdarg>

#include "dialogs/linecopy.h"
#include "dialogs/logfile.h"
#include "dialogs/statusstrip.h"
#include "dialogs/terminallogview.h"
#include "platform/clock.h"
#include "transport/seriallink.h"

namespace vela {

namespace {

QPushButton* MakeButton(const QString& text, int ctrlId, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setProperty("ctrlId", ctrlId);
    button->setObjectName(QStringLiteral("ctl%1").arg(ctrlId));
    button->setMinimumWidth(60);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

}  // namespace

CTerminalDialog::CTerminalDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_model(new TerminalLogModel(m_log, this)) {
    setObjectName(QStringLiteral("terminal"));
}

CTerminalDialog::~CTerminalDialog() {
    // The log and the registries outlive this object; they must not keep a pointer to it.
    DestroyWindow();
    // The list goes before the model it shows, which was made first.
    delete m_list;
}

bool CTerminalDialog::Create() {
    if (m_created) return true;
    if (!m_built) BuildControls();
    m_created = true;
    OnlineStatusRegistry::Instance().Register(this);
    DialogRegistry::Instance().Register(this);
    CommandLog::Instance().Join(this);
    m_edit->setText(QString::fromLatin1(m_commandText.data(), static_cast<qsizetype>(m_commandText.size())));
    return true;
}

void CTerminalDialog::DestroyWindow() {
    if (!m_created) return;
    CommandLog::Instance().Leave(this);
    OnlineStatusRegistry::Instance().Unregister(this);
    DialogRegistry::Instance().Unregister(this);
    hide();
    OnClear();
    m_created = false;
}

void CTerminalDialog::BuildControls() {
    setWindowTitle(QString::fromLatin1(kCaption));
    setSizeGripEnabled(true);

    m_edit = new QLineEdit(this);
    m_edit->setProperty("ctrlId", kCommandEdit);
    m_edit->setObjectName(QStringLiteral("ctl%1").arg(kCommandEdit));
    m_edit->installEventFilter(this);
    m_edit->setAccessibleName(QStringLiteral("Command"));

    m_list = new TerminalLogView(*m_model, this);
    m_list->setProperty("ctrlId", kLogList);
    m_list->setObjectName(QStringLiteral("ctl%1").arg(kLogList));
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_list->setAccessibleName(QStringLiteral("Log"));
    EnableLineCopy(m_list);

    QPushButton* close = MakeButton(QStringLiteral("Close"), kCloseButton, this);
    QPushButton* send = MakeButton(QStringLiteral("Send"), kSendButton, this);
    QPushButton* clear = MakeButton(QStringLiteral("Clear"), kClearButton, this);
    QPushButton* save = MakeButton(QStringLiteral("Save"), kSaveButton, this);
    // Enter in the edit sends the line.
    send->setDefault(true);
    for (QPushButton* button : {close, clear, save}) button->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &CTerminalDialog::OnClose);
    connect(send, &QPushButton::clicked, this, &CTerminalDialog::OnSend);
    connect(clear, &QPushButton::clicked, this, &CTerminalDialog::OnClear);
    connect(save, &QPushButton::clicked, this, &CTerminalDialog::OnSave);

    m_statusBar = new StatusStrip(kStatusBar, this);
    // Tab in reading order: the edit, Close beside it, the list, the buttons beside it.
    QWidget* const order[] = {m_edit, close, m_list, send, clear, save};
    for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    // Edit at the top left, the list below it taking every size change, the buttons
    // stacked at the right (Close level with the edit), the online bar along the bottom.
    auto* grid = new QGridLayout;
    grid->setContentsMargins(10, 10, 10, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(m_edit, 0, 0);
    grid->addWidget(close, 0, 1);
    grid->addWidget(m_list, 1, 0);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    buttons->addWidget(send);
    buttons->addWidget(clear);
    buttons->addWidget(save);
    buttons->addStretch(1);
    grid->addLayout(buttons, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(8);
    layout->addLayout(grid);
    layout->addWidget(m_statusBar);

    // The window's first size: 304 x 207 dialog units of the window's font.
    const QFontMetrics metrics(font());
    resize(304 * metrics.averageCharWidth() / 4, 207 * metrics.height() / 8);
    m_built = true;
}

void CTerminalDialog::ShowNormal() {
    if (!m_created) return;
    showNormal();
    raise();
    activateWindow();
}

int CTerminalDialog::AddLine(const std::string& text) {
    m_model->AddNewest(TerminalLog::Stamp(CurrentUtcTime(), text));
    return 1;
}

int CTerminalDialog::AddFormattedLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = TerminalLog::Format(format, args);
    va_end(args);
    return AddLine(text);
}

void CTerminalDialog::OnSend() {
    // The camera takes bytes: what cannot be one Latin-1 byte goes out as '?', and the
    // edit then shows what was sent.
    m_commandText = m_edit->text().toLatin1().toStdString();
    SerialLink::Instance().Write(m_commandText + "\r\n");
    if (!m_commandText.empty() && (m_sent.empty() || m_sent.back() != m_commandText))
        m_sent.push_back(m_commandText);
    m_historyPos = m_sent.size();
    m_edit->setText(QString::fromLatin1(m_commandText.data(), static_cast<qsizetype>(m_commandText.size())));
    m_edit->setFocus();
}

void CTerminalDialog::OnClear() {
    m_model->Clear();
}

void CTerminalDialog::OnClose() {
    hide();
}

void CTerminalDialog::reject() {
    if (m_edit) m_commandText = m_edit->text().toLatin1().toStdString();
    hide();
}

void CTerminalDialog::OnSave() {
    if (!SaveLogAs({"Save As", "csv", "CSV file (*.csv)", false}, [this] { return m_log.Text(); })) return;
    // After the file is closed, so the notice stands in the list, not in the file.
    AddLine("Writing file has been done !");
}

QWidget* CTerminalDialog::Control(int ctrlId) const {
    for (QWidget* child : findChildren<QWidget*>()) {
        const QVariant id = child->property("ctrlId");
        if (id.isValid() && id.toInt() == ctrlId) return child;
    }
    return nullptr;
}

int CTerminalDialog::LineCount() const {
    return static_cast<int>(m_log.Size());
}

QString CTerminalDialog::Line(int index) const {
    if (index < 0 || index >= LineCount()) return {};
    return TerminalLogModel::Text(m_log.At(static_cast<std::size_t>(index)));
}

bool CTerminalDialog::HasStatusBarWindow() const {
    return m_created && m_statusBar != nullptr;
}

void CTerminalDialog::SetStatusBar(bool online) {
    if (m_statusBar) m_statusBar->ShowOnline(online);
}

void CTerminalDialog::EnableWindow(bool enable) {
    setEnabled(enable);
}

bool CTerminalDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            StepHistory(key == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CTerminalDialog::StepHistory(int step) {
    const std::string current = m_edit->text().toLatin1().toStdString();
    const std::size_t typing = m_sent.size();
    if (m_historyPos > typing) m_historyPos = typing;
    if (step < 0) {
        if (m_historyPos == 0) return;
        if (m_historyPos == typing) m_draft = current;
        --m_historyPos;
        // The edit keeps the line just sent: the first Up goes to the one before it.
        if (m_historyPos + 1 == typing && m_sent[m_historyPos] == current && m_historyPos > 0) --m_historyPos;
    } else {
        if (m_historyPos >= typing) return;
        ++m_historyPos;
    }
    const std::string& shown = m_historyPos == typing ? m_draft : m_sent[m_historyPos];
    m_edit->setText(QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size())));
}

}  // namespace vela
