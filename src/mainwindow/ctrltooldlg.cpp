#include "mainwindow/ctrltooldlg.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <climits>
#include <memory>

#include "app/registrysettings.h"
#include "camera/baudprobe.h"
#include "camera/flashareas.h"
#include "camera/parameterreader.h"
#include "camera/valuecommit.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/appresources.h"
#include "dialogs/cameraiddialog.h"
#include "dialogs/communicationdialog.h"
#include "dialogs/communicationhost.h"
#include "dialogs/communicationpanel.h"
#include "dialogs/luteditors.h"
#include "dialogs/statusstrip.h"
#include "dialogs/terminaldialog.h"
#include "dialogs/useriddialog.h"
#include "mainwindow/dialogprogress.h"
#include "mainwindow/gen.h"
#include "mainwindow/mainmenu.h"
#include "mainwindow/paramcombobox.h"
#include "mainwindow/tabsheetdialog.h"
#include "platform/prompt.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"
#include "protocol/controlids.h"
#include "protocol/valuetext.h"
#include "transport/seriallink.h"

namespace vela {
namespace {

using namespace ctl;

CCtrlToolDlg* g_mainWindow = nullptr;

constexpr int kAreaReadTimeoutMs = 5000;
constexpr int kValueTimeoutMs = 5000;

// A menu's modal dialog: created without a parent window, run, and gone when it closes.
template <class Dialog>
void RunModal() {
    auto dialog = std::make_unique<Dialog>(nullptr);
    dialog->DoModal();
}

// An edit's text read as a decimal integer; blanks before it are passed over.
int ReadDecimal(const QString& text) {
    return ParseDecimalText(text.trimmed().toStdString());
}

int ControlIdOf(const QWidget* widget) {
    if (const auto* spin = qobject_cast<const SpinEditBox*>(widget)) return spin->EditId();
    const QVariant id = widget ? widget->property("ctrlId") : QVariant();
    return id.isValid() ? id.toInt() : 0;
}

// The combo box whose drop-down list `widget` belongs to, or nullptr.
QComboBox* PopupOwner(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        auto* combo = qobject_cast<QComboBox*>(w->parentWidget());
        if (combo && w->isWindow() && combo->view() && combo->view()->isVisible()) return combo;
    }
    return nullptr;
}

// What the Communication window asks of the main window.
class MainWindowHost final : public CommunicationHost {
  public:
    explicit MainWindowHost(CCtrlToolDlg& dlg) : m_dlg(dlg) {}
    void ReadCameraSettings() override { m_dlg.ReadCameraSettings(); }
    void SaveSettingFileDialog() override { m_dlg.SaveSettingFileDialog(SettingFileKind::AllData); }
    void OpenSettingFileDialog() override { m_dlg.OpenSettingFileDialog(); }

  private:
    CCtrlToolDlg& m_dlg;
};

}  // namespace

CCtrlToolDlg::CCtrlToolDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("dialog%1").arg(kTemplateId));
    InitResources();
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        m_icon.addFile(QStringLiteral(":/vela/icons/app-%1.png").arg(size), QSize(size, size));
    }
    g_mainWindow = this;

    m_pages[0] = new CTabSheetDialog(kUserAPageTemplate, 0, QStringLiteral("User A"), this);
    m_pages[1] = new CTabSheetDialog(kUserBPageTemplate, 0, QStringLiteral("User B"), this);
    m_pages[2] = new CTabSheetDialog(kFactoryAPageTemplate, 1, QStringLiteral("Factory A"), this);
    m_pageCount = 3;
    m_communicationHost = std::make_unique<MainWindowHost>(*this);
    m_communicationDialog = new CCommunicationDialog(*m_communicationHost, this);
    m_communication = m_communicationDialog;
    m_terminal = new CTerminalDialog(this);
    m_lutEditors = std::make_unique<LutEditors>(this);

    m_currentArea = 0;
    m_sequenceArmed = 0;
    m_sequencePos = 0;
    m_closeWithoutConfirmation = 0;
    Command::Instance().SaveDataValues();
}

CCtrlToolDlg::~CCtrlToolDlg() {
    // Destroying the widgets moves the focus, which would commit an edit to a window that
    // no longer exists.
    for (int i = 0; i < m_pageCount; ++i) {
        if (m_pages[static_cast<std::size_t>(i)]) m_pages[static_cast<std::size_t>(i)]->DetachOwner();
    }
    OnDestroy();
    // Before the host it calls back into goes.
    if (m_communication == m_communicationDialog) m_communication = nullptr;
    delete m_communicationDialog;
    m_communicationDialog = nullptr;
    qApp->removeEventFilter(this);
    // The registries outlive this object; they must not keep a pointer to it.
    OnlineStatusRegistry::Instance().Unregister(this);
    DialogRegistry::Instance().Unregister(this);
    for (int i = 0; i < m_pageCount; ++i) {
        // Pages that never got a parent are not deleted with the window.
        CTabSheetDialog* page = m_pages[static_cast<std::size_t>(i)];
        if (page && !page->parent()) delete page;
    }
    if (g_mainWindow == this) g_mainWindow = nullptr;
}

CCtrlToolDlg* CCtrlToolDlg::Current() {
    return g_mainWindow;
}

CTabSheetDialog* CCtrlToolDlg::Page(int index) const {
    return index >= 0 && index < m_pageCount ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

int CCtrlToolDlg::DoModal() {
    OnInitDialog();
    return exec();
}

void CCtrlToolDlg::CreateWindowContents() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_menuBar = CreateMainMenu(this, [this](int id) { OnMenuCommand(id); });
    layout->setMenuBar(m_menuBar);

    m_tab = new QTabWidget(this);
    m_tab->setObjectName(QStringLiteral("ctl%1").arg(kTabControl));
    m_tab->setProperty("ctrlId", kTabControl);
    m_tab->setDocumentMode(false);
    m_tab->tabBar()->setAccessibleName(QStringLiteral("Pages"));
    connect(m_tab, &QTabWidget::currentChanged, this, &CCtrlToolDlg::OnTabSelChange);
    auto* tabHolder = new QVBoxLayout;
    tabHolder->setContentsMargins(8, 8, 8, 6);
    tabHolder->addWidget(m_tab);
    layout->addLayout(tabHolder);

    m_statusBar = new StatusStrip(kMainStatusBar, this);
    layout->addWidget(m_statusBar);

    qApp->installEventFilter(this);
    m_windowCreated = true;
}

bool CCtrlToolDlg::OnInitDialog() {
    // 1-2: the window itself and its icon
    CreateWindowContents();
    setWindowIcon(m_icon);

    // 3: the online bar and the common enable/disable
    OnlineStatusRegistry::Instance().Register(this);
    DialogRegistry::Instance().Register(this);

    // 4
    setWindowTitle(QStringLiteral("%1  Ver %2").arg(QLatin1String(kTitle), QLatin1String(kVersion)));

    // 5: the receive timer, then the companion windows as they exist
    m_receiveTimer = new QTimer(this);
    m_receiveTimer->setInterval(Command::kTimerPeriodMs);
    connect(m_receiveTimer, &QTimer::timeout, this, [] { Command::Instance().OnTimer(); });
    Command::Instance().Create([this] { m_receiveTimer->start(); });
    m_terminal->Create();
    m_lutEditors->CreateLutEditors();
    // Its initialisation lists the ports of the saved kind, which a library kind needs
    // before the link first opens.
    if (m_communicationDialog) m_communicationDialog->Create();
    if (m_communication) m_communication->ShowNormal();

    // 6-8: the pages, their spin ranges and combo item data
    for (int i = 0; i < m_pageCount; ++i) {
        m_pages[static_cast<std::size_t>(i)]->Create(m_tab);
        m_pages[static_cast<std::size_t>(i)]->hide();
    }
    SetSpinRanges();
    FillComboItemData();

    // 9-10
    ShowAllValues();
    RebuildTabs();

    // Fast answers as the operator last chose them; off unless chosen.
    std::int32_t fast = 0;
    RegistrySettings::Instance().GetInt(FastAnswersSetting, fast, 0);
    SetFastAnswers(fast == 1);

    // 11-13: connect, find the rate, read the camera
    int result = InitialConnect();
    if (result == 0) {
        result = ProbeBaudRates(SerialLink::Instance(), CameraModel::Instance(), [this](int index) {
            if (m_communication) m_communication->SetBaudRateSelection(index);
        });
    }
    if (result == 1) ReadCameraSettings();
    Command::Instance().SaveDataValues();
    ShowAllValues();
    // Offline the pages still follow their rules for the values shown, and the model
    // list stays empty until a model is known.
    ShowModelControls();
    ApplyEnableRules();
    UpdateLineRateLabels();
    return true;
}

void CCtrlToolDlg::SetSpinRanges() {
    Command& command = Command::Instance();
    for (const ControlEntry& entry : Command::Instance().Rows()) {
        if (entry.kind != ControlKind::SpinEdit) continue;
        auto* spin = qobject_cast<SpinEditBox*>(FindControl(entry.ctrlId));
        if (!spin || !FindControl(spin->UpDownId())) continue;
        int minimum = 0;
        int maximum = 0;
        if (!command.GetDataRange(entry.ctrlId, minimum, maximum)) continue;
        if (command.GetCtrlOption(entry.ctrlId) == 1) {
            // A widened range lets a step reach one past each end; the commit pulls it back.
            minimum = minimum > INT_MIN ? minimum - 1 : minimum;
            maximum = maximum < INT_MAX ? maximum + 1 : maximum;
        }
        spin->setRange(minimum, maximum);
    }
}

void CCtrlToolDlg::FillComboItemData() {
    const struct {
        int ctrlId;
        std::initializer_list<int> data;
    } fills[] = {
        {kCameraBaudRate, {1, 2, 4, 8, 16}}, {kTriggerInput, {0, 1}},
        {kLineSource1, {0, 1, 4, 5, 6, 7}},  {kPixelGainMode, {1, 2}},
        {kPixelBlackMode, {1, 2}},           {kBinningH, {1, 2}},
    };
    for (const auto& fill : fills) {
        auto* combo = qobject_cast<QComboBox*>(FindControl(fill.ctrlId));
        if (!combo) continue;
        int item = 0;
        for (const int data : fill.data) {
            if (item < combo->count()) combo->setItemData(item, data);
            ++item;
        }
    }
}

int CCtrlToolDlg::InitialConnect() {
    if (!SerialLink::Instance().ReopenCurrent()) {
        ShowMessage("Failed to initialize!", PromptIcon::Exclamation);
        return 0;
    }
    const int answered = CameraModel::Instance().Read();
    // Whether the camera tells its area does not matter here.
    Command::Instance().ReadValue(kCmdEA, m_currentArea, kAreaReadTimeoutMs);
    return answered;
}

void CCtrlToolDlg::RebuildTabs() {
    const bool factoryMode = ControlMode::Instance().Get() != 0;
    {
        // The tab changes below are the program's, not the operator's.
        const QSignalBlocker block(m_tab);
        m_tab->clear();
        for (int i = 0; i < m_pageCount; ++i) {
            CTabSheetDialog* page = m_pages[static_cast<std::size_t>(i)];
            page->hide();
            if (!factoryMode && page->IsFactoryPage()) continue;
            const int position = m_tab->addTab(page, page->Caption());
            m_tab->tabBar()->setTabData(position, i);
        }
        m_tab->setCurrentIndex(0);
    }
    OnTabSelChange(0);

    if (m_menuBar && m_menuBar->actions().size() > kUtilityMenuPosition) {
        // The menu itself, not only its action: a menu that is merely not disabled follows
        // the window when it is enabled again after a long operation.
        QAction* utility = m_menuBar->actions().at(kUtilityMenuPosition);
        const bool enable = ControlMode::Instance().Get() == 1;
        if (utility->menu()) utility->menu()->setEnabled(enable);
        utility->setEnabled(enable);
    }
    if (m_menuBar) m_menuBar->update();

    SendChangedValues(Command::Instance());
    Command::Instance().SaveDataValues();
    if (m_communication) m_communication->UpdateControlModeItems();
}

void CCtrlToolDlg::OnTabSelChange(int position) {
    if (position < 0 || position >= m_pageCount) return;
    const int pageIndex = m_tab->tabBar()->tabData(position).toInt();
    for (int i = 0; i < m_pageCount; ++i) {
        m_pages[static_cast<std::size_t>(i)]->setVisible(i == pageIndex);
    }
}

void CCtrlToolDlg::ToggleControlMode() {
    ControlMode& mode = ControlMode::Instance();
    mode.Set(mode.Get() == 0 ? 1 : 0);
    RebuildTabs();
    int area = 0;
    if (Command::Instance().ReadValue(kCmdEA, area, kAreaReadTimeoutMs)) ReadCameraSettings();
}

void CCtrlToolDlg::ReadCameraSettings() {
    const LongOperation operation;
    if (!operation.Started()) return;
    Command& command = Command::Instance();
    CameraModel::Instance().Read();
    ShowModelControls();
    ReadAllParameters();
    ShowAllValues();
    command.SaveDataValues();
    SendChangedValues(Command::Instance());
    command.SaveDataValues();
    ShowAllValues();
    ApplyEnableRules();
    UpdateLineRateLabels();
}

int CCtrlToolDlg::ReadAllParameters() {
    DialogProgress progress(this);
    ReadParameterRows(Command::Instance(), CameraModel::Instance(), ControlMode::Instance().Get(), progress);
    if (QApplication::activeWindow() != this) activateWindow();
    if (isVisible()) raise();
    return 1;
}

QWidget* CCtrlToolDlg::FindControl(int ctrlId) const {
    for (int i = 0; i < m_pageCount; ++i) {
        if (QWidget* control = m_pages[static_cast<std::size_t>(i)]->ControlById(ctrlId)) return control;
    }
    if (ctrlId == kMainStatusBar) return m_statusBar;
    if (ctrlId == kTabControl) return m_tab;
    return nullptr;
}

int CCtrlToolDlg::GetControlValue(int ctrlId) {
    QWidget* control = FindControl(ctrlId);
    if (!control) return -1;
    CGen& gen = CGen::Instance();
    switch (gen.GetControlKind(control, ctrlId)) {
        case CGen::kEdit:
            if (auto* spin = qobject_cast<SpinEditBox*>(control)) return ReadDecimal(spin->EditText());
            if (auto* edit = qobject_cast<QLineEdit*>(control)) return ReadDecimal(edit->text());
            return -1;
        case CGen::kUpDown:
            return static_cast<SpinEditBox*>(control)->Position();
        case CGen::kComboBox: {
            auto* combo = static_cast<QComboBox*>(control);
            const int index = combo->currentIndex();
            if (index < 0) return -1;
            const int data = combo->itemData(index).toInt();
            return data != 0 ? data : index;
        }
        case CGen::kCheckBox:
            return static_cast<QAbstractButton*>(control)->isChecked() ? 1 : 0;
        case CGen::kRadioButton: {
            int index = 0;
            gen.GetRadioIndex(static_cast<QAbstractButton*>(control), index);
            return index;
        }
        default:
            return -1;
    }
}

int CCtrlToolDlg::ShowValue(int ctrlId, int value) {
    QWidget* control = FindControl(ctrlId);
    if (!control) return 0;
    CGen& gen = CGen::Instance();
    const QString text = QString::number(value);
    switch (gen.GetControlKind(control, ctrlId)) {
        case CGen::kEdit:
            if (auto* spin = qobject_cast<SpinEditBox*>(control)) {
                // The edit shows exactly the value; the position follows when it can.
                if (value >= spin->minimum() && value <= spin->maximum()) spin->SetPosition(value);
                spin->SetEditText(text);
            } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                const QSignalBlocker block(edit);
                edit->setText(text);
            }
            return 1;
        case CGen::kUpDown: {
            auto* spin = static_cast<SpinEditBox*>(control);
            spin->SetPosition(value);
            spin->SetEditText(text);
            return 1;
        }
        case CGen::kComboBox: {
            auto* combo = static_cast<QComboBox*>(control);
            int index = combo->findData(value);
            if (index < 0) index = value;
            SelectComboQuiet(combo, index);
            return 1;
        }
        case CGen::kCheckBox: {
            auto* box = static_cast<QAbstractButton*>(control);
            const QSignalBlocker block(box);
            if (value == 1) box->setChecked(true);
            if (value == 0) box->setChecked(false);
            return 1;
        }
        case CGen::kRadioButton:
            return gen.SetRadioIndex(static_cast<QAbstractButton*>(control), value) ? 1 : 0;
        default:
            return 0;
    }
}

void CCtrlToolDlg::ShowAllValues() {
    for (const ControlEntry& entry : Command::Instance().Rows()) ShowValue(entry.ctrlId, entry.value);
}

void CCtrlToolDlg::ShowChangedValues() {
    for (const ControlEntry& entry : Command::Instance().Rows()) {
        if (entry.value != entry.savedValue) ShowValue(entry.ctrlId, entry.value);
    }
}

int CCtrlToolDlg::ReadAndShow(int ctrlId) {
    Command& command = Command::Instance();
    const int cmdId = command.ToCmdId(ctrlId);
    if (cmdId < 0) return 1;
    int value = 0;
    if (command.ReadValue(cmdId, value, kValueTimeoutMs)) {
        command.SetDataValue(ctrlId, value);
        ShowValue(ctrlId, value);
    }
    return 1;
}

bool CCtrlToolDlg::EnableControl(int ctrlId, bool enable) {
    QWidget* control = FindControl(ctrlId);
    if (!control) return false;
    control->setEnabled(enable);
    return true;
}

bool CCtrlToolDlg::ShowControl(int ctrlId, bool show) {
    QWidget* control = FindControl(ctrlId);
    if (!control) return false;
    control->setVisible(show);
    return true;
}

int CCtrlToolDlg::ComboIndex(int ctrlId) const {
    auto* combo = qobject_cast<QComboBox*>(FindControl(ctrlId));
    return combo ? combo->currentIndex() : -1;
}

void CCtrlToolDlg::SetOnePushEnabled() {
    const bool enable = ComboIndex(kTriggerOrigin) == 0 && ComboIndex(kExposureMode) == 0;
    EnableControl(kOnePush, enable);
    EnableControl(kAutoLineRateRef, enable);
    EnableControl(kAutoLineRateRefSpin, enable);
}

void CCtrlToolDlg::ApplyTriggerRule() {
    EnableControl(kAutoResetMode, ComboIndex(kTriggerOrigin) == 1);
    SetOnePushEnabled();
}

void CCtrlToolDlg::ApplyExposureRule() {
    EnableControl(kExposureTime, ComboIndex(kExposureMode) == 1);
    SetOnePushEnabled();
}

void CCtrlToolDlg::ApplyLutRule() {
    const int index = ComboIndex(kLutSelector);
    if (index == 1) {
        EnableControl(kOpenLutTable, true);
        ShowControl(kGamma, false);
        ShowControl(kGammaSpin, false);
        ShowControl(kGammaLabel, false);
        return;
    }
    ShowLutEditors(0);
    EnableControl(kOpenLutTable, false);
    ShowControl(kGamma, index == 2);
    ShowControl(kGammaSpin, index == 2);
    ShowControl(kGammaLabel, index == 2);
}

void CCtrlToolDlg::ApplyCorrectionRule() {
    EnableControl(kRecalibrateShading, ComboIndex(kShadingMode) == 2);
    EnableControl(kRecalibratePixelGain, ComboIndex(kPixelGainMode) == 1);
    EnableControl(kRecalibratePixelBlack, ComboIndex(kPixelBlackMode) == 1);
}

void CCtrlToolDlg::ApplyEnableRules() {
    ApplyLutRule();
    update();
    ApplyCorrectionRule();
    update();
    EnableControl(kExposureMode, true);
    EnableControl(kExposureTime, true);
    EnableControl(kExposureTimeSpin, true);
    EnableControl(kGainLevel, true);
    EnableControl(kGainLevelSpin, true);
    ApplyTriggerRule();
    update();
    ApplyExposureRule();
    update();
}

void CCtrlToolDlg::ShowModelControls() {
    if (auto* models = qobject_cast<ParamComboBox*>(FindControl(kCameraModelList))) {
        models->SelectQuiet(CameraModel::Instance().Index());
    }
    for (const int id :
         {kBinningVLabel, kBinningV, kBinningHLabel, kBinningH, kBinningHModeLabel, kBinningHMode}) {
        ShowControl(id, true);
    }
}

void CCtrlToolDlg::UpdateLineRateLabels() {
    const int period = Command::Instance().GetDataValue(kLineRate);
    auto* periodLabel = qobject_cast<QLabel*>(FindControl(kLinePeriodLabel));
    auto* rateLabel = qobject_cast<QLabel*>(FindControl(kLineFrequencyLabel));
    if (periodLabel) periodLabel->setText(QString::asprintf("%.2fus", period / 100.0));
    if (rateLabel) {
        // A period of 0 has no rate; the label shows a dash like the other unknown values.
        rateLabel->setText(period == 0 ? QStringLiteral("-")
                                       : QString::asprintf("%.4fhz", 1.0 / (period / 100000000.0)));
    }
}

void CCtrlToolDlg::ShowLutEditors(int show) {
    m_lutEditors->ShowLutEditors(show);
}

void CCtrlToolDlg::OnMenuCommand(int commandId) {
    switch (commandId) {
        case kMenuExit:
            OnCancel();
            break;
        case kMenuReload:
            OnReload();
            break;
        case kMenuOpenSettingFile:
            OpenSettingFileDialog();
            break;
        case kMenuSaveAllData:
            SaveSettingFileDialog(SettingFileKind::AllData);
            break;
        case kMenuSaveShippingData:
            SaveSettingFileDialog(SettingFileKind::ShippingData);
            break;
        case kMenuLoadSettings:
            LoadSettings();
            break;
        case kMenuStoreSettings:
            StoreSettings();
            break;
        case kMenuOpenCommunication:
            if (m_communication) m_communication->ShowNormal();
            break;
        case kMenuEditUserId:
            RunModal<CUserIdDialog>();
            break;
        case kMenuEditCameraId:
            RunModal<CCameraIdDialog>();
            break;
        case kMenuAbout:
            RunModal<CAboutDialog>();
            break;
        case kMenuOpenLutFile:
            m_lutEditors->OnOpenLutFile();
            break;
        case kMenuSaveLutFile:
            m_lutEditors->OnSaveLutFile();
            break;
        case kMenuLoadAllLut:
            m_lutEditors->OnLoadAllLutTable();
            break;
        case kMenuFastAnswers:
            SetFastAnswers(!Command::Instance().FastAnswers());
            // Kept at once: a choice of the operator's survives a crash too.
            RegistrySettings::Instance().SetInt(FastAnswersSetting,
                                                Command::Instance().FastAnswers() ? 1 : 0);
            break;
        default:
            break;
    }
}

void CCtrlToolDlg::SetFastAnswers(bool fast) {
    Command::Instance().SetFastAnswers(fast);
    if (auto* item = m_menuBar->findChild<QAction*>(QStringLiteral("cmd%1").arg(kMenuFastAnswers)))
        item->setChecked(fast);
}

void CCtrlToolDlg::OnReload() {
    ReadCurrentArea(Command::Instance(), m_currentArea, kAreaReadTimeoutMs);
    ReadCameraSettings();
}

bool CCtrlToolDlg::KeyHook(QWidget* target, QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();

    // 1: the hidden mode switch. Every key press counts, Shift and Ctrl included.
    if ((mods & Qt::ShiftModifier) && (mods & Qt::ControlModifier) && key == Qt::Key_F12) {
        m_sequenceArmed = 1;
        m_sequencePos = 0;
        return true;
    }
    if (m_sequenceArmed) {
        if (m_sequencePos < 3 && key == kSequence[m_sequencePos]) {
            ++m_sequencePos;
            if (m_sequencePos == 3) {
                m_sequenceArmed = 0;
                m_sequencePos = 0;
                ToggleControlMode();
            }
            // A letter of the sequence must not also pick a combo item or type a character.
            return true;
        }
        m_sequenceArmed = 0;
        m_sequencePos = 0;
    }

    // 2: Enter and Escape on the controls never reach the dialogs, so nothing closes.
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool escape = key == Qt::Key_Escape;
    if (!enter && !escape) return false;

    if (auto* popupCombo = qobject_cast<ParamComboBox*>(PopupOwner(target))) {
        // Both keys accept the highlighted item of an open list; the list handles Enter.
        if (escape) popupCombo->AcceptHighlighted();
        return escape;
    }
    switch (CGen::Instance().ClassifyWindow(target)) {
        case CGen::kEdit:
            if (enter) {
                QWidget* focused = QApplication::focusWidget();
                if (auto* spin = qobject_cast<SpinEditBox*>(focused)) {
                    spin->Commit();
                } else if (focused) {
                    DispatchEditCommit(ControlIdOf(focused));
                }
            }
            return true;
        case CGen::kComboBox:
        case CGen::kButton:
            return true;
        default:
            return false;
    }
}

bool CCtrlToolDlg::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !watched->isWidgetType())
        return false;
    auto* target = static_cast<QWidget*>(watched);
    auto* popupCombo = qobject_cast<ParamComboBox*>(PopupOwner(target));
    // A key travels up the parents until taken: hook it once, at the widget it was sent to.
    QWidget* first = QApplication::focusWidget();
    if (!popupCombo && first && target != first) return false;
    // Only this window's and its pages' own controls: a message box or dialog it owns is a
    // window of its own, whose Enter and Escape answer the box.
    if ((popupCombo ? popupCombo->window() : target->window()) != this) return false;

    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        // An open list takes Escape before it is pressed; here it accepts the item instead.
        if (popupCombo && key->key() == Qt::Key_Escape) {
            popupCombo->AcceptHighlighted();
            key->accept();
            return true;
        }
        return false;
    }
    return KeyHook(target, key);
}

void CCtrlToolDlg::reject() {
    OnCancel();
}

void CCtrlToolDlg::accept() {
    OnOK();
}

void CCtrlToolDlg::OnCancel() {
    // While a long operation has the window disabled, a close request from the window
    // manager must not pull the link away from under it; the operator closes afterwards.
    if (!isEnabled() && m_closeWithoutConfirmation != 1) return;
    if (m_closeWithoutConfirmation != 1 &&
        !AskYesNo("Are you sure to terminate the Camera Control Tool ?", "Confirm")) {
        return;
    }
    m_ending = true;
    done(QDialog::Rejected);
}

void CCtrlToolDlg::done(int result) {
    // Every way of ending the run passes the confirmation first.
    if (!m_ending) {
        OnCancel();
        return;
    }
    QDialog::done(result);
    OnDestroy();
}

void CCtrlToolDlg::OnDestroy() {
    if (m_destroyed || !m_windowCreated) return;
    m_destroyed = true;
    if (m_receiveTimer) m_receiveTimer->stop();
    SerialLink::Instance().Close();
    m_terminal->DestroyWindow();
    m_lutEditors->DestroyWindows();
}

bool CCtrlToolDlg::HasStatusBarWindow() const {
    return m_statusBar != nullptr && !m_destroyed;
}

void CCtrlToolDlg::SetStatusBar(bool online) {
    if (m_statusBar) m_statusBar->ShowOnline(online);
}

bool CCtrlToolDlg::HasWindow() const {
    return m_windowCreated && !m_destroyed;
}

void CCtrlToolDlg::EnableWindow(bool enable) {
    setEnabled(enable);
}

}  // namespace vela
