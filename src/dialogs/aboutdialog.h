#pragma once

#include <QList>
#include <array>

#include "dialogs/statusbardialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vela {

class CLabel;

// The maker's web address, shown as a link in the About box.
inline constexpr const char* kMakerWebAddress = "https://www.corvane.example/";

// "About This Control": the tool's name and version, the connected camera's identity
// (user ID writable, device version writable in the factory control mode) and the PDF help
// files of the working directory.
class CAboutDialog : public StatusBarDialog {
    Q_OBJECT

  public:
    static constexpr int kNameId = 1000;
    static constexpr int kVersionId = 1002;
    static constexpr int kLinkId = 1081;
    static constexpr int kModelNameId = 1024;
    static constexpr int kCameraIdId = 1023;
    static constexpr int kFirmwareVersionId = 1022;
    static constexpr int kFpgaVersionId = 1082;
    static constexpr std::array<int, 4> kDeviceVersionIds = {1149, 1150, 1151, 1152};
    static constexpr int kDeviceVersionLabelId = 1185;
    static constexpr int kSaveDeviceVersionId = 1153;
    static constexpr int kUserIdId = 1028;
    static constexpr int kSaveUserIdId = 1083;
    static constexpr int kProtectUserIdId = 1084;
    static constexpr int kEnableUserIdId = 1085;
    static constexpr int kHelpListId = 1087;
    static constexpr int kViewHelpId = 1043;
    static constexpr int kStatusBarId = 1064;

    explicit CAboutDialog(QWidget* parent = nullptr);

    // Registers the dialog, fills the help list, shows the placeholders, then reads the
    // camera's identity (blocking until each read is answered or timed out).
    bool OnInitDialog() override;

    void OnSaveUserId();
    void OnSaveDeviceVersion();
    void OnViewHelpFile();
    // On: the user-ID edit and its button disabled, "Protect User ID" checked.
    void SetUserIdProtection(bool on);

    QLabel* Field(int ctrlId) const;
    QLineEdit* DeviceVersionEdit(int index) const { return m_deviceVersion[static_cast<std::size_t>(index)]; }
    QLineEdit* UserIdEdit() const { return m_userId; }
    QComboBox* HelpList() const { return m_helpList; }
    CLabel* Link() const { return m_link; }

  private:
    QWidget* CreateHeader();
    QWidget* CreateCameraData();
    QWidget* CreateHelp();
    void FillHelpList();
    void ShowPlaceholders();
    void ReadCameraData();

    CLabel* m_link = nullptr;
    QLabel* m_modelName = nullptr;
    QLabel* m_cameraId = nullptr;
    QLabel* m_firmwareVersion = nullptr;
    QLabel* m_fpgaVersion = nullptr;
    std::array<QLineEdit*, 4> m_deviceVersion{};
    QPushButton* m_saveDeviceVersion = nullptr;
    QLineEdit* m_userId = nullptr;
    QPushButton* m_saveUserId = nullptr;
    QRadioButton* m_protect = nullptr;
    QRadioButton* m_enableEdit = nullptr;
    QComboBox* m_helpList = nullptr;
    QPushButton* m_viewHelp = nullptr;
};

}  // namespace vela
