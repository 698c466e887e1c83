#include "dialogs/communicationdialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/registrysettings.h"
#include "camera/flashareas.h"
#include "camera/portsearch.h"
#include "dialogs/communicationhost.h"
#include "dialogs/controlnames.h"
#include "dialogs/enterkey.h"
#include "dialogs/linecopy.h"
#include "dialogs/logfile.h"
#include "dialogs/picturecontrol.h"
#include "dialogs/progressbardialog.h"
#include "dialogs/resultboxes.h"
#include "dialogs/statusstrip.h"
#include "platform/prompt.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "transport/seriallink.h"

namespace vela {
namespace {

template <class W>
W* Bind(W* widget, int ctrlId) {
    widget->setObjectName(QStringLiteral("ctl%1").arg(ctrlId));
    widget->setProperty("ctrlId", ctrlId);
    return widget;
}

// A wheel notch over a list that does not have the focus is no choice: it is the
// operator scrolling past, and a new entry would reopen the link or re-read the camera.
class FocusedWheelOnly : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget != nullptr && !widget->hasFocus();
    }
};

QComboBox* DropDownList(int ctrlId, const QStringList& items) {
    auto* combo = Bind(new QComboBox, ctrlId);
    combo->addItems(items);
    // The wheel does not take the focus either.
    combo->setFocusPolicy(Qt::StrongFocus);
    return combo;
}

QPushButton* PushButton(int ctrlId, const QString& text) {
    return Bind(new QPushButton(text), ctrlId);
}

}  // namespace

CCommunicationDialog::CCommunicationDialog(CommunicationHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_host(host) {
    setObjectName(QStringLiteral("CommunicationDialog"));
    setWindowTitle(QStringLiteral("Communication"));
    setModal(false);
    BuildLayout();
    // The first connection of a run after a crash must not try a library that may be
    // what brought the last run down.
    if (!RegistrySettings::Instance().PreviousShutdownWasNormal())
        SerialLink::Instance().SetKind(ComPortKind);
}

CCommunicationDialog::~CCommunicationDialog() {
    if (!m_created) return;
    CommandLog::Instance().Leave(this);
    OnlineStatusRegistry::Instance().Unregister(this);
    DialogRegistry::Instance().Unregister(this);
}

void CCommunicationDialog::BuildLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->setSpacing(6);

    // Line status
    auto* lineStatus = new QGroupBox(QStringLiteral("Line Status"));
    auto* statusRow = new QHBoxLayout(lineStatus);
    m_lamp = new PictureControl(kLamp, PictureControl::Picture::RedLamp);
    m_onlineText = Bind(new QLabel(QStringLiteral("Offline")), kOnlineText);
    statusRow->addWidget(m_lamp);
    statusRow->addSpacing(8);
    statusRow->addWidget(m_onlineText);
    statusRow->addStretch(1);
    layout->addWidget(lineStatus);

    // Communication port
    auto* portBox = new QGroupBox(QStringLiteral("Communication Port"));
    auto* portGrid = new QGridLayout(portBox);
    portGrid->setHorizontalSpacing(8);
    m_category =
        DropDownList(kCategoryList,
                     {QStringLiteral("Com Port"), QStringLiteral("Camera Link spec. 2000"),
                      QStringLiteral("Camera Link spec. 2001"), QStringLiteral("Camera Link spec. ver.1.1")});
    QStringList comPorts;
    for (int i = 1; i <= 16; ++i) comPorts << QStringLiteral("COM%1").arg(i);
    m_ports = DropDownList(kPortList, comPorts);
    m_baudLabel = Bind(new QLabel(QStringLiteral("Baud Rate")), kBaudRateLabel);
    QStringList rates;
    for (int i = 0; i < 5; ++i) rates << QString::fromLatin1(SerialLink::BaudRateText(i));
    m_baudRates = DropDownList(kBaudRateList, rates);
    m_auto = PushButton(kAuto, QStringLiteral("Auto"));
    // Outside the factory mode the rate is hidden; the rest of the window stays in place.
    for (QWidget* w : {static_cast<QWidget*>(m_baudLabel), static_cast<QWidget*>(m_baudRates)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    m_category->setMinimumContentsLength(24);
    auto* categoryLabel = new QLabel(QStringLiteral("Category"));
    auto* portLabel = new QLabel(QStringLiteral("Port Name"));
    portGrid->addWidget(categoryLabel, 0, 0);
    portGrid->addWidget(m_category, 0, 1);
    portGrid->addWidget(m_baudLabel, 0, 2);
    portGrid->addWidget(m_baudRates, 0, 3);
    portGrid->addWidget(portLabel, 1, 0);
    portGrid->addWidget(m_ports, 1, 1);
    portGrid->addWidget(m_auto, 1, 2, 1, 2);
    portGrid->setColumnStretch(1, 1);
    NameAfterLabel(m_category, categoryLabel);
    NameAfterLabel(m_baudRates, m_baudLabel);
    NameAfterLabel(m_ports, portLabel);
    layout->addWidget(portBox);

    // Files
    auto* filesBox = new QGroupBox(QStringLiteral("Files"));
    auto* filesRow = new QHBoxLayout(filesBox);
    m_writeSettingFile = PushButton(kWriteSettingFile, QStringLiteral("Write To File..."));
    m_readSettingFile = PushButton(kReadSettingFile, QStringLiteral("Read To FIle...."));
    filesRow->addWidget(new PictureControl(-1, PictureControl::Picture::SaveFile));
    filesRow->addWidget(m_writeSettingFile);
    filesRow->addStretch(1);
    filesRow->addWidget(new PictureControl(-1, PictureControl::Picture::OpenFile));
    filesRow->addWidget(m_readSettingFile);
    filesRow->addStretch(1);
    layout->addWidget(filesBox);

    // Current area, and the flash areas
    auto* areaRow = new QHBoxLayout;
    auto* currentBox = new QGroupBox(QStringLiteral("Current Area"));
    auto* currentRow = new QHBoxLayout(currentBox);
    m_areaText = Bind(new QLabel, kAreaText);
    m_areaText->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_areaText->setMinimumWidth(m_areaText->fontMetrics().horizontalAdvance(QStringLiteral("Factory Data")) +
                                12);
    m_getArea = PushButton(kGetArea, QStringLiteral("Get Area"));
    currentRow->addWidget(m_areaText, 1);
    currentRow->addWidget(m_getArea);
    auto* flashBox = new QGroupBox(QStringLiteral("Factory And User Setting In Camera"));
    auto* flashRow = new QHBoxLayout(flashBox);
    m_areas = DropDownList(kAreaList, {QStringLiteral("Factory Data"), QStringLiteral("User 1 Data"),
                                       QStringLiteral("User 2 Data"), QStringLiteral("User 3 Data")});
    m_areas->setAccessibleName(flashBox->title());
    m_store = PushButton(kStore, QStringLiteral("Store"));
    m_store->setEnabled(false);
    m_load = PushButton(kLoad, QStringLiteral("Load"));
    flashRow->addWidget(m_areas, 1);
    flashRow->addWidget(m_store);
    flashRow->addWidget(m_load);
    areaRow->addWidget(currentBox, 2);
    areaRow->addWidget(flashBox, 3);
    layout->addLayout(areaRow);

    // Message log
    auto* logBox = new QGroupBox(QStringLiteral("ControlTool Message"));
    auto* logRow = new QHBoxLayout(logBox);
    m_messages = Bind(new QListWidget, kMessageList);
    m_messages->setAccessibleName(logBox->title());
    EnableLineCopy(m_messages);
    m_messages->setUniformItemSizes(true);
    m_messages->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_messages->setMinimumSize(300, 110);
    m_writeLog = PushButton(kWriteLog, QStringLiteral("Write To File"));
    m_clearLog = PushButton(kClearLog, QStringLiteral("Clear"));
    auto* logButtons = new QVBoxLayout;
    logButtons->addWidget(m_writeLog);
    logButtons->addWidget(m_clearLog);
    logButtons->addStretch(1);
    logRow->addWidget(m_messages, 1);
    logRow->addLayout(logButtons);
    layout->addWidget(logBox);

    m_statusBar = new StatusStrip(kStatusBar, this);
    layout->addWidget(m_statusBar);

    // A real change of entry only: choosing the current entry again changes nothing. The
    // program's own selections block the signals (SelectQuietly).
    connect(m_category, &QComboBox::currentIndexChanged, this, &CCommunicationDialog::OnCategoryChanged);
    connect(m_ports, &QComboBox::currentIndexChanged, this, &CCommunicationDialog::OnPortChanged);
    connect(m_baudRates, &QComboBox::currentIndexChanged, this, &CCommunicationDialog::OnBaudRateChanged);
    connect(m_areas, &QComboBox::currentIndexChanged, this, &CCommunicationDialog::OnAreaChanged);
    auto* wheel = new FocusedWheelOnly(this);
    for (QComboBox* list : {m_category, m_ports, m_baudRates, m_areas}) list->installEventFilter(wheel);
    connect(m_auto, &QPushButton::clicked, this, &CCommunicationDialog::OnAuto);
    connect(m_writeSettingFile, &QPushButton::clicked, this, &CCommunicationDialog::OnWriteSettingFile);
    connect(m_readSettingFile, &QPushButton::clicked, this, &CCommunicationDialog::OnReadSettingFile);
    connect(m_getArea, &QPushButton::clicked, this, &CCommunicationDialog::OnGetArea);
    connect(m_store, &QPushButton::clicked, this, &CCommunicationDialog::OnStore);
    connect(m_load, &QPushButton::clicked, this, &CCommunicationDialog::OnLoad);
    connect(m_writeLog, &QPushButton::clicked, this, &CCommunicationDialog::OnWriteLog);
    connect(m_clearLog, &QPushButton::clicked, this, &CCommunicationDialog::OnClearLog);
    for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
}

QWidget* CCommunicationDialog::ControlById(int ctrlId) const {
    if (ctrlId == kStatusBar) return m_statusBar;
    return findChild<QWidget*>(QStringLiteral("ctl%1").arg(ctrlId));
}

void CCommunicationDialog::keyPressEvent(QKeyEvent* event) {
    if (!HandleEnterKey(*this, event)) QDialog::keyPressEvent(event);
}

void CCommunicationDialog::Create() {
    if (m_created) return;
    m_created = true;
    OnlineStatusRegistry& status = OnlineStatusRegistry::Instance();
    status.Register(this);
    DialogRegistry::Instance().Register(this);
    CommandLog::Instance().Join(this);
    UpdateOnlineStatus(status.IsOnline() ? 1 : 0);

    SerialLink& link = SerialLink::Instance();
    SelectQuietly(m_category, link.GetKind());
    FillPortList();
    SelectQuietly(m_baudRates, link.GetBaudRateIndex());
    UpdateControlModeItems();
    SelectQuietly(m_areas, 1);
}

void CCommunicationDialog::SelectQuietly(QComboBox* list, int index) {
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void CCommunicationDialog::FillPortList() {
    SerialLink& link = SerialLink::Instance();
    const QSignalBlocker quiet(m_ports);
    m_ports->clear();
    const int count = link.GetPortCount();
    for (int i = 0; i < count; ++i) m_ports->addItem(QString::fromLocal8Bit(link.GetPortName(i)));
    int index = link.GetPortIndex();
    if (index < 0 || index >= count) {
        link.SelectPort(0);
        index = 0;
    }
    m_ports->setCurrentIndex(index < m_ports->count() ? index : -1);
}

void CCommunicationDialog::SetBaudRateSelection(int index) {
    SelectQuietly(m_baudRates, index);
}

void CCommunicationDialog::UpdateControlModeItems() {
    const bool factory = ControlMode::Instance().Get() != 0;
    m_baudLabel->setEnabled(factory);
    m_baudRates->setEnabled(factory);
    m_baudLabel->setVisible(factory);
    m_baudRates->setVisible(factory);
    UpdateStoreButton();
}

void CCommunicationDialog::UpdateStoreButton() {
    m_store->setEnabled(m_areas->currentIndex() != kFactoryArea || ControlMode::Instance().Get() != 0);
}

void CCommunicationDialog::ShowNormal() {
    showNormal();
    raise();
}

void CCommunicationDialog::UpdateOnlineStatus(int online) {
    m_lamp->SetPicture(online ? PictureControl::Picture::GreenLamp : PictureControl::Picture::RedLamp);
    m_onlineText->setText(online ? QStringLiteral("Online") : QStringLiteral("Offline"));
}

bool CCommunicationDialog::HasStatusBarWindow() const {
    return m_created;
}

void CCommunicationDialog::SetStatusBar(bool online) {
    m_statusBar->ShowOnline(online);
}

bool CCommunicationDialog::HasWindow() const {
    return m_created;
}

void CCommunicationDialog::EnableWindow(bool enable) {
    setEnabled(enable);
}

void CCommunicationDialog::OnLogLine(const std::string& line) {
    // Latin-1 keeps every received byte as one character, so the saved log has the bytes
    // that crossed the wire, garbage included.
    AddMessage(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
}

void CCommunicationDialog::AddMessage(const QString& text) {
    m_messages->insertItem(0, text);
    while (m_messages->count() > kMaxMessages) delete m_messages->takeItem(m_messages->count() - 1);
}

void CCommunicationDialog::ReadCameraIfAnswering() {
    if (CameraModel::Instance().Read() == 1) m_host.ReadCameraSettings();
}

void CCommunicationDialog::OnCategoryChanged() {
    if (!SerialLink::Instance().SwitchKind(m_category->currentIndex()))
        ShowMessage("Failed to initialize!", PromptIcon::Exclamation);
    FillPortList();
    ReadCameraIfAnswering();
}

void CCommunicationDialog::OnPortChanged() {
    SerialLink::Instance().SelectPort(m_ports->currentIndex());
    ReadCameraIfAnswering();
}

void CCommunicationDialog::OnBaudRateChanged() {
    SerialLink::Instance().SetBaudRate(SerialLink::BaudRateFromIndex(m_baudRates->currentIndex()));
    ReadCameraIfAnswering();
}

void CCommunicationDialog::OnAuto() {
    int found = -1;
    {
        const LongOperation operation;
        if (!operation.Started()) return;
        found = SearchCameraPort(SerialLink::Instance(), CameraModel::Instance(),
                                 OnlineStatusRegistry::Instance());
        if (found < 0) ShowActionMessage(NoCameraFoundMessage());
    }
    if (found < 0) return;
    SelectQuietly(m_ports, found);
    m_host.ReadCameraSettings();
}

void CCommunicationDialog::OnGetArea() {
    int area = -1;
    ReadCurrentArea(Command::Instance(), area, kGetAreaTimeoutMs);
    m_areaText->setText(QString::fromLatin1(AreaName(area)));
}

void CCommunicationDialog::OnStore() {
    CProgressBarDialog& progress = CProgressBarDialog::Instance();
    progress.Start(this, QStringLiteral("Now, Storing camera data."));
    if (StoreArea(Command::Instance(), m_areas->currentIndex(), kStoreTimeoutMs))
        ShowMessage("Completed to store current setting data!", PromptIcon::Information);
    progress.Finish();
}

void CCommunicationDialog::OnLoad() {
    if (LoadArea(Command::Instance(), m_areas->currentIndex(), kLoadTimeoutMs)) m_host.ReadCameraSettings();
}

void CCommunicationDialog::OnAreaChanged() {
    UpdateStoreButton();
}

void CCommunicationDialog::OnWriteSettingFile() {
    m_host.SaveSettingFileDialog();
}

void CCommunicationDialog::OnReadSettingFile() {
    m_host.OpenSettingFileDialog();
}

void CCommunicationDialog::OnWriteLog() {
    const auto text = [this] {
        std::string lines;
        for (int row = m_messages->count() - 1; row >= 0; --row) {
            lines += m_messages->item(row)->text().toLatin1().toStdString();
            lines += "\r\n";
        }
        return lines;
    };
    if (SaveLogAs({"", "txt", "txt file (*.txt)"}, text))
        AddMessage(QStringLiteral("Writing file has been done!"));
}

void CCommunicationDialog::OnClearLog() {
    m_messages->clear();
}

}  // namespace vela
