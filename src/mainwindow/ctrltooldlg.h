#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <array>
#include <memory>

#include "camera/settingfile.h"
#include "dialogs/dialogregistry.h"
#include "mainwindow/spineditbox.h"
#include "platform/prompt.h"
#include "protocol/onlinestatusregistry.h"

class QKeyEvent;
class QMenuBar;
class QTabWidget;
class QTimer;

namespace vela {

class CCommunicationDialog;
class CTabSheetDialog;
class CTerminalDialog;
class LutEditors;
class CommunicationHost;
class CommunicationPanel;
class StatusStrip;

// The tool's main window: the parameter pages in a tab control, the online bar and the
// menu. It brings the link up, finds the camera's baud rate and model, reads the whole
// camera, and is where every control event of the pages arrives.
class CCtrlToolDlg : public QDialog, public COnlineStatusUpdater, public RegisteredDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateId = 105;
    static constexpr int kMaxPages = 15;
    static constexpr const char* kTitle = "VELA-4K/8K Control Tool";
    static constexpr const char* kVersion = kToolVersion;
    // The three letters typed after Ctrl+Shift+F12 that switch the control mode.
    static constexpr char kSequence[3] = {'F', 'C', 'T'};

    explicit CCtrlToolDlg(QWidget* parent = nullptr);
    ~CCtrlToolDlg() override;
    CCtrlToolDlg(const CCtrlToolDlg&) = delete;
    CCtrlToolDlg& operator=(const CCtrlToolDlg&) = delete;

    // The one main window of the process, or nullptr.
    static CCtrlToolDlg* Current();

    // The start-up sequence, then the modal run; the dialog's result.
    int DoModal();
    // The start-up sequence: windows, link, baud-rate search, whole-camera read. Returns true.
    bool OnInitDialog();
    // A close request, from every way of closing: asks for confirmation unless the close-
    // without-confirmation flag is set.
    void OnCancel();
    // Enter never closes the main window.
    void OnOK() {}

    int InitialConnect();
    void RebuildTabs();
    void ToggleControlMode();

    // The whole-camera refresh and its parameter read (with the progress window).
    void ReadCameraSettings();
    int ReadAllParameters();

    // Control mapping between the value table and the widgets.
    QWidget* FindControl(int ctrlId) const;
    int GetControlValue(int ctrlId);
    int ShowValue(int ctrlId, int value);
    void ShowAllValues();
    void ShowChangedValues();
    int ReadAndShow(int ctrlId);

    // Page refreshes that depend on the model and on values.
    void ApplyEnableRules();
    void ShowModelControls();
    void UpdateLineRateLabels();
    // The enable rules one by one, as the rule combos need them.
    void ApplyTriggerRule();
    void ApplyExposureRule();
    void ApplyLutRule();
    void ApplyCorrectionRule();

    // Entry points of the pages' widgets: each reports one operator action, and is the one
    // way in for every other caller (the program's screenshots, the tests) too.
    void DispatchEditCommit(int ctrlId);
    void DispatchSpinDelta(int upDownId, SpinNotify& nm);
    void DispatchComboChanged(int ctrlId);
    void DispatchButtonClicked(int ctrlId);
    // Enter/Escape rewriting and the hidden mode switch for a key pressed in this window
    // or its pages; true when the key is used up (it then has no further effect).
    bool KeyHook(QWidget* target, QKeyEvent* event);

    // Menu commands by id; ids without an action yet do nothing.
    void OnMenuCommand(int commandId);
    void OnReload();
    // The engine's fast answers, shown as the menu item's check.
    void SetFastAnswers(bool fast);

    // Setting files and flash areas (settingfiles.cpp). The file procedures return 1 when
    // the file was written or opened.
    int SaveSettingFile(const std::string& path, SettingFileKind kind);
    int LoadSettingFile(const std::string& path);
    void SaveSettingFileDialog(SettingFileKind kind);
    void OpenSettingFileDialog();
    void StoreSettings();
    void LoadSettings();

    // Companion windows. The Communication window is created with the main window and
    // attached as its panel; tests may attach another panel in its place.
    void SetCommunicationPanel(CommunicationPanel* panel) { m_communication = panel; }
    CCommunicationDialog* CommunicationDialog() const { return m_communicationDialog; }
    CommunicationPanel* Communication() const { return m_communication; }
    CTerminalDialog* Terminal() const { return m_terminal; }
    // Shows or hides the LUT editors; nothing until their windows exist.
    void ShowLutEditors(int show);
    LutEditors& LutEditorWindows() const { return *m_lutEditors; }

    int CurrentArea() const { return m_currentArea; }
    void SetCurrentArea(int area) { m_currentArea = area; }
    int CloseWithoutConfirmation() const { return m_closeWithoutConfirmation; }
    void SetCloseWithoutConfirmation(int flag) { m_closeWithoutConfirmation = flag; }

    int PageCount() const { return m_pageCount; }
    CTabSheetDialog* Page(int index) const;
    QTabWidget* TabControl() const { return m_tab; }
    StatusStrip* StatusBar() const { return m_statusBar; }
    QMenuBar* MenuBar() const { return m_menuBar; }
    // Enables or shows the widget bound to `ctrlId` wherever it is; false when none.
    bool EnableControl(int ctrlId, bool enable);
    bool ShowControl(int ctrlId, bool show);

    // COnlineStatusUpdater
    bool HasStatusBarWindow() const override;
    void SetStatusBar(bool online) override;
    // RegisteredDialog
    bool HasWindow() const override;
    void EnableWindow(bool enable) override;

    // QDialog's ways of ending the run: every one is a close request.
    void reject() override;
    void accept() override;
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The control-event handlers (controlevents.cpp).
    void EditCommit(int ctrlId);
    void SpinDelta(int upDownId, SpinNotify& nm);
    void ComboChanged(int ctrlId);
    void ButtonClicked(int ctrlId);
    // The page push buttons' actions, one per button, dispatched by ButtonClicked.
    void OnTerminal();
    void OnOpenLutTable();
    void OnCameraReset();
    void OnSetCameraModel();
    void OnStoreAll();
    void OnSaveFactoryArea();
    void OnRecalibrateShadingUser();
    void OnRecalibratePixelGainUser();
    void OnRecalibratePixelBlackUser();
    void OnRecalibrateShadingFactory();
    void OnRecalibratePixelGainFactory();
    void OnRecalibratePixelBlackFactory();
    void OnGetTemperature();
    void OnReadLutEntry();
    void OnWriteLutEntry();
    void OnWriteXmlVersion();
    void OnReadXmlVersion();
    void OnOnePushLineRate();
    void OnReadLineRateMin();
    void OnReadExposureLimits();

    void CreateWindowContents();
    void SetSpinRanges();
    void FillComboItemData();
    void OnTabSelChange(int position);
    void OnDestroy();
    int ComboIndex(int ctrlId) const;
    void SetOnePushEnabled();

    // Members in the order the window declares them.
    StatusStrip* m_statusBar = nullptr;
    std::array<CTabSheetDialog*, kMaxPages> m_pages{};
    int m_pageCount = 0;
    QTabWidget* m_tab = nullptr;
    int m_currentArea = 0;
    QIcon m_icon;
    int m_closeWithoutConfirmation = 0;
    int m_sequenceArmed = 0;
    int m_sequencePos = 0;

    QMenuBar* m_menuBar = nullptr;
    QTimer* m_receiveTimer = nullptr;
    std::unique_ptr<CommunicationHost> m_communicationHost;
    CCommunicationDialog* m_communicationDialog = nullptr;
    CommunicationPanel* m_communication = nullptr;
    CTerminalDialog* m_terminal = nullptr;
    std::unique_ptr<LutEditors> m_lutEditors;
    bool m_windowCreated = false;
    bool m_destroyed = false;
    bool m_ending = false;
};

}  // namespace vela
