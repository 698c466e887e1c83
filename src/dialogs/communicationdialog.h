#pragma once

#include <QDialog>
#include <string>

#include "dialogs/communicationpanel.h"
#include "dialogs/dialogregistry.h"
#include "protocol/onlinestatusregistry.h"
#include "transport/commandlog.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QPushButton;

namespace vela {

class CommunicationHost;
class PictureControl;
class StatusStrip;

// The modeless "Communication" window: link kind, port and baud rate, the line status,
// the port search, the setting-file buttons, the camera's flash areas and the log of
// every line sent to and received from the camera. It keeps no link state of its own:
// kind, port and rate live in SerialLink, the control mode in ControlMode.
class CCommunicationDialog : public QDialog,
                             public COnlineStatusUpdater,
                             public RegisteredDialog,
                             public CommunicationPanel,
                             public CommandLogSink {
    Q_OBJECT

  public:
    static constexpr int kMaxMessages = 4096;

    // Control ids.
    static constexpr int kPortList = 1005;
    static constexpr int kCategoryList = 1009;
    static constexpr int kBaudRateLabel = 1016;
    static constexpr int kAreaList = 1026;
    static constexpr int kBaudRateList = 1027;
    static constexpr int kOnlineText = 1063;
    static constexpr int kStatusBar = 1066;
    static constexpr int kLamp = 1071;
    static constexpr int kWriteSettingFile = 1072;
    static constexpr int kReadSettingFile = 1073;
    static constexpr int kGetArea = 1074;
    static constexpr int kAreaText = 1075;
    static constexpr int kStore = 1076;
    static constexpr int kLoad = 1077;
    static constexpr int kMessageList = 1078;
    static constexpr int kWriteLog = 1079;
    static constexpr int kClearLog = 1080;
    static constexpr int kAuto = 1088;

    static constexpr int kGetAreaTimeoutMs = 5000;
    static constexpr int kStoreTimeoutMs = 40000;
    static constexpr int kLoadTimeoutMs = 10000;

    // After a run that did not end normally the link starts on the COM port kind,
    // whatever kind was saved. `host` must outlive the window.
    explicit CCommunicationDialog(CommunicationHost& host, QWidget* parent = nullptr);
    ~CCommunicationDialog() override;
    CCommunicationDialog(const CCommunicationDialog&) = delete;
    CCommunicationDialog& operator=(const CCommunicationDialog&) = delete;

    // The window's initialisation: registries and command log, then the lists from the
    // link and the control mode. Before the main window first opens the link.
    void Create();
    bool IsCreated() const { return m_created; }

    // CommunicationPanel
    void SetBaudRateSelection(int index) override;
    void UpdateControlModeItems() override;
    void ShowNormal() override;

    // COnlineStatusUpdater
    void UpdateOnlineStatus(int online) override;
    bool HasStatusBarWindow() const override;
    void SetStatusBar(bool online) override;
    // RegisteredDialog
    bool HasWindow() const override;
    void EnableWindow(bool enable) override;
    // CommandLogSink
    void OnLogLine(const std::string& line) override;

    // Newest line on top; the oldest goes when the list would exceed kMaxMessages.
    void AddMessage(const QString& text);

    // The operator's actions, one per control.
    void OnCategoryChanged();
    void OnPortChanged();
    void OnBaudRateChanged();
    void OnAuto();
    void OnGetArea();
    void OnStore();
    void OnLoad();
    void OnAreaChanged();
    void OnWriteSettingFile();
    void OnReadSettingFile();
    void OnWriteLog();
    void OnClearLog();

    // The widget bound to `ctrlId`, or nullptr.
    QWidget* ControlById(int ctrlId) const;

  protected:
    // Close box, Enter and Esc only hide the window; the menu shows it again.
    void reject() override { hide(); }
    void accept() override { hide(); }
    // Enter on a focused button presses it; anywhere else it hides the window.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BuildLayout();
    void FillPortList();
    // Selects `index` (none when out of range) without it counting as the operator's choice.
    static void SelectQuietly(QComboBox* list, int index);
    void UpdateStoreButton();
    // The model query, and the whole-camera read when the camera answered.
    void ReadCameraIfAnswering();

    CommunicationHost& m_host;
    PictureControl* m_lamp = nullptr;
    QLabel* m_onlineText = nullptr;
    QComboBox* m_category = nullptr;
    QComboBox* m_ports = nullptr;
    QLabel* m_baudLabel = nullptr;
    QComboBox* m_baudRates = nullptr;
    QPushButton* m_auto = nullptr;
    QPushButton* m_writeSettingFile = nullptr;
    QPushButton* m_readSettingFile = nullptr;
    QLabel* m_areaText = nullptr;
    QPushButton* m_getArea = nullptr;
    QComboBox* m_areas = nullptr;
    QPushButton* m_store = nullptr;
    QPushButton* m_load = nullptr;
    QListWidget* m_messages = nullptr;
    QPushButton* m_writeLog = nullptr;
    QPushButton* m_clearLog = nullptr;
    StatusStrip* m_statusBar = nullptr;
    bool m_created = false;
};

}  // namespace vela
