#include "mainwindow/parameterareaselectdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/registrysettings.h"
#include "camera/flashareas.h"
#include "dialogs/controlnames.h"
#include "dialogs/statusstrip.h"

namespace vela {

CParameterAreaSelectDialog::CParameterAreaSelectDialog(QWidget* parent, int loadMode)
    : QDialog(parent), m_loadMode(loadMode) {
    setObjectName(QStringLiteral("dialog%1").arg(kTemplateId));
    setWindowTitle(QStringLiteral("Parameter Flash Area Select"));

    m_prompt = new QLabel(this);
    m_prompt->setAlignment(Qt::AlignCenter);
    m_prompt->setProperty("ctrlId", kPromptId);
    m_combo = new QComboBox(this);
    m_combo->setProperty("ctrlId", kAreaComboId);
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CParameterAreaSelectDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CParameterAreaSelectDialog::reject);
    m_statusBar = new StatusStrip(kStatusBarId, this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_combo);
    layout->addWidget(separator);
    layout->addWidget(buttons);
    layout->addWidget(m_statusBar);
    setMinimumWidth(300);

    OnInitDialog();
}

CParameterAreaSelectDialog::~CParameterAreaSelectDialog() {
    OnlineStatusRegistry::Instance().Unregister(this);
    DialogRegistry::Instance().Unregister(this);
}

void CParameterAreaSelectDialog::OnInitDialog() {
    OnlineStatusRegistry::Instance().Register(this);
    DialogRegistry::Instance().Register(this);
    m_combo->clear();
    for (const int area : SelectableAreas(m_loadMode != 0, ControlMode::Instance().Get())) {
        m_combo->addItem(QString::fromLatin1(AreaItemText(area)));
    }
    m_combo->setCurrentIndex(0);
    if (m_loadMode) {
        setWindowTitle(QStringLiteral("Load setting data"));
        m_prompt->setText(QStringLiteral("Select the flash memory area to load setting data"));
    } else {
        setWindowTitle(QStringLiteral("Store setting data"));
        m_prompt->setText(QStringLiteral("Select the flash memory area to save setting data"));
    }
    NameAfterLabel(m_combo, m_prompt);
}

int CParameterAreaSelectDialog::DoModal() {
    return exec();
}

QString CParameterAreaSelectDialog::PromptText() const {
    return m_prompt->text();
}

void CParameterAreaSelectDialog::SetStatusBar(bool online) {
    m_statusBar->ShowOnline(online);
}

void CParameterAreaSelectDialog::accept() {
    m_selectedArea = AreaFromItemText(m_combo->currentText().toStdString());
    QDialog::accept();
}

}  // namespace vela
