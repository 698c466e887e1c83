#include "dialogs/aboutdialog.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/registrysettings.h"
#include "camera/cameraidentity.h"
#include "dialogs/appresources.h"
#include "dialogs/cameratext.h"
#include "dialogs/controlnames.h"
#include "dialogs/label.h"
#include "dialogs/resultboxes.h"
#include "platform/prompt.h"
#include "platform/shellopen.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"

namespace vela {
namespace {

QLabel* SunkenText(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("VELA-8K-MONO2")) + 12);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

CAboutDialog::CAboutDialog(QWidget* parent) : StatusBarDialog(kStatusBarId, parent) {
    setWindowTitle(QStringLiteral("About This Control"));
    Body()->addWidget(CreateHeader());
    Body()->addWidget(CreateCameraData());
    Body()->addWidget(CreateHelp());
}

QWidget* CAboutDialog::CreateHeader() {
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(14, 0, 0, 0);
    row->setSpacing(28);
    InitResources();
    auto* icon = new QLabel(header);
    icon->setPixmap(QIcon(QStringLiteral(":/vela/icons/app-32.png")).pixmap(32, 32));
    row->addWidget(icon, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(Bind(new QLabel(header), kNameId));
    auto* version = new QHBoxLayout;
    version->addWidget(new QLabel(QStringLiteral("Version:"), header));
    version->addWidget(Bind(new QLabel(header), kVersionId));
    version->addStretch(1);
    texts->addLayout(version);
    m_link = Bind(new CLabel(QLatin1String(kMakerWebAddress), header), kLinkId);
    texts->addWidget(m_link, 0, Qt::AlignLeft);
    row->addLayout(texts, 1);
    return header;
}

QWidget* CAboutDialog::CreateCameraData() {
    auto* group = new QGroupBox(QStringLiteral("Camera Data"), this);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->setColumnMinimumWidth(2, 16);
    const auto label = [group](const char* text) { return new QLabel(QLatin1String(text), group); };
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

    m_modelName = Bind(SunkenText(group), kModelNameId);
    m_cameraId = Bind(SunkenText(group), kCameraIdId);
    m_firmwareVersion = Bind(SunkenText(group), kFirmwareVersionId);
    m_fpgaVersion = Bind(SunkenText(group), kFpgaVersionId);
    grid->addWidget(label("Model Name"), 0, 0, right);
    grid->addWidget(m_modelName, 0, 1);
    grid->addWidget(label("Camera ID"), 0, 3, right);
    grid->addWidget(m_cameraId, 0, 4);
    grid->addWidget(label("Firmware Version"), 1, 0, right);
    grid->addWidget(m_firmwareVersion, 1, 1);
    grid->addWidget(label("FPGA Version"), 1, 3, right);
    grid->addWidget(m_fpgaVersion, 1, 4);

    grid->addWidget(Bind(label("Device Version"), kDeviceVersionLabelId), 2, 0, right);
    auto* parts = new QHBoxLayout;
    parts->setSpacing(2);
    for (std::size_t i = 0; i < m_deviceVersion.size(); ++i) {
        if (i > 0) parts->addWidget(label("."));
        auto* edit = Bind(new QLineEdit(group), kDeviceVersionIds[i]);
        edit->setAlignment(Qt::AlignCenter);
        edit->setAccessibleName(QStringLiteral("Device Version, part %1").arg(i + 1));
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 2 + 6);
        parts->addWidget(edit);
        m_deviceVersion[i] = edit;
    }
    parts->addStretch(1);
    grid->addLayout(parts, 2, 1);
    m_saveDeviceVersion = Bind(new QPushButton(QStringLiteral("Save Dev Ver"), group), kSaveDeviceVersionId);
    grid->addWidget(m_saveDeviceVersion, 2, 3, Qt::AlignLeft);

    QLabel* userIdLabel = label("User ID");
    grid->addWidget(userIdLabel, 3, 0, right);
    m_userId = Bind(new QLineEdit(group), kUserIdId);
    NameAfterLabel(m_userId, userIdLabel);
    grid->addWidget(m_userId, 3, 1);
    m_saveUserId = Bind(new QPushButton(QStringLiteral("Save User ID"), group), kSaveUserIdId);
    grid->addWidget(m_saveUserId, 3, 3, Qt::AlignLeft);

    m_protect = Bind(new QRadioButton(QStringLiteral("Protect User ID"), group), kProtectUserIdId);
    m_enableEdit = Bind(new QRadioButton(QStringLiteral("Enable To Edit User ID"), group), kEnableUserIdId);
    grid->addWidget(m_protect, 4, 1);
    grid->addWidget(m_enableEdit, 4, 3, 1, 2);

    for (QPushButton* button : {m_saveDeviceVersion, m_saveUserId}) button->setAutoDefault(false);
    connect(m_saveDeviceVersion, &QPushButton::clicked, this, &CAboutDialog::OnSaveDeviceVersion);
    connect(m_saveUserId, &QPushButton::clicked, this, &CAboutDialog::OnSaveUserId);
    connect(m_protect, &QRadioButton::clicked, this, [this] { SetUserIdProtection(true); });
    connect(m_enableEdit, &QRadioButton::clicked, this, [this] { SetUserIdProtection(false); });
    // Created disabled, before the initialisation decides.
    m_userId->setEnabled(false);
    m_saveUserId->setEnabled(false);
    return group;
}

QWidget* CAboutDialog::CreateHelp() {
    auto* group = new QGroupBox(QStringLiteral("Help"), this);
    auto* row = new QHBoxLayout(group);
    row->setSpacing(8);
    auto* helpLabel = new QLabel(QStringLiteral("Help File"), group);
    row->addWidget(helpLabel);
    m_helpList = Bind(new QComboBox(group), kHelpListId);
    NameAfterLabel(m_helpList, helpLabel);
    m_helpList->setEditable(true);
    m_helpList->setInsertPolicy(QComboBox::NoInsert);
    m_helpList->setMinimumWidth(m_helpList->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);
    row->addWidget(m_helpList, 1);
    m_viewHelp = Bind(new QPushButton(QStringLiteral("View Help File"), group), kViewHelpId);
    m_viewHelp->setAutoDefault(false);
    row->addWidget(m_viewHelp);
    connect(m_viewHelp, &QPushButton::clicked, this, &CAboutDialog::OnViewHelpFile);
    return group;
}

bool CAboutDialog::OnInitDialog() {
    RegisterDialog();
    SetUserIdProtection(true);
    qobject_cast<QLabel*>(FindControl(kNameId))->setText(QLatin1String(kToolName));
    qobject_cast<QLabel*>(FindControl(kVersionId))->setText(QLatin1String(kToolVersion));
    m_link->SetClickable(1);
    m_link->SetForeColor(QColor(0, 0, 255));
    m_link->SetUnderline(1);
    m_link->SetCursorHandle(QCursor(Qt::PointingHandCursor));
    FillHelpList();
    ShowPlaceholders();
    ReadCameraData();

    const bool factory = ControlMode::Instance().Get() != 0;
    for (QLineEdit* edit : m_deviceVersion) edit->setEnabled(factory);
    m_saveDeviceVersion->setVisible(factory);
    return true;
}

void CAboutDialog::FillHelpList() {
    m_helpList->clear();
    // Hidden files too, as the system's directory listing gives them; directories and
    // special files are no help files.
    const QStringList names = QDir::current().entryList({QStringLiteral("*.pdf")}, QDir::Files | QDir::Hidden,
                                                        QDir::Name | QDir::IgnoreCase);
    m_helpList->addItems(names);
    m_helpList->setCurrentIndex(names.isEmpty() ? -1 : 0);
}

void CAboutDialog::ShowPlaceholders() {
    m_firmwareVersion->setText(QLatin1String(kVersionPlaceholder));
    m_fpgaVersion->setText(QLatin1String(kVersionPlaceholder));
    m_modelName->setText(QLatin1String(kNamePlaceholder));
    m_cameraId->setText(QLatin1String(kNamePlaceholder));
    m_userId->setText(QLatin1String(kUserIdPlaceholder));
    for (QLineEdit* edit : m_deviceVersion) edit->setText(QLatin1String(kDeviceVersionPartPlaceholder));
}

void CAboutDialog::ReadCameraData() {
    const CameraIdentity id = ReadCameraIdentity(Command::Instance(), CameraModel::Instance());
    if (id.firmwareVersion) m_firmwareVersion->setText(FromCameraText(FormatVersion(*id.firmwareVersion)));
    if (id.modelName) m_modelName->setText(FromCameraText(*id.modelName));
    if (id.cameraId) m_cameraId->setText(FromCameraText(*id.cameraId));
    if (id.fpgaVersion) m_fpgaVersion->setText(FromCameraText(FormatVersion(*id.fpgaVersion)));
    if (id.userId) m_userId->setText(FromCameraText(*id.userId));
    if (id.deviceVersion) {
        for (std::size_t i = 0; i < m_deviceVersion.size(); ++i)
            m_deviceVersion[i]->setText(FromCameraText((*id.deviceVersion)[i]));
    }
}

void CAboutDialog::SetUserIdProtection(bool on) {
    m_userId->setEnabled(!on);
    m_saveUserId->setEnabled(!on);
    m_protect->setChecked(on);
    m_enableEdit->setChecked(!on);
}

void CAboutDialog::OnSaveUserId() {
    if (const std::optional<std::string> text = ToCameraText(m_userId->text(), "User ID string"))
        ShowActionMessage(WriteUserId(Command::Instance(), *text));
}

void CAboutDialog::OnSaveDeviceVersion() {
    DeviceVersionParts parts;
    // Only the first character of a part counts, so only that one must fit in a byte.
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::optional<std::string> first =
            ToCameraText(FirstCharacter(m_deviceVersion[i]->text()), "Device Version");
        if (!first) return;
        parts[i] = *first;
    }
    ShowActionMessage(WriteDeviceVersion(Command::Instance(), ComposeDeviceVersion(parts)));
}

void CAboutDialog::OnViewHelpFile() {
    const int index = m_helpList->currentIndex();
    // A name typed over the list is no selection: only listed files are opened.
    if (index < 0 || m_helpList->itemText(index) != m_helpList->currentText()) {
        ShowMessage("No file was selected !!", PromptIcon::Stop);
        return;
    }
    ShellOpen::Instance().Open(m_helpList->itemText(index).toStdString());
}

QLabel* CAboutDialog::Field(int ctrlId) const {
    return qobject_cast<QLabel*>(FindControl(ctrlId));
}

}  // namespace vela
