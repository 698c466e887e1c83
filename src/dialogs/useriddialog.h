#pragma once

#include "dialogs/statusbardialog.h"

class QLineEdit;
class QPushButton;

namespace vela {

// "User Id": shows the camera's user ID and writes a new one of up to 16 characters.
class CUserIdDialog : public StatusBarDialog {
    Q_OBJECT

  public:
    static constexpr int kEditId = 1039;
    static constexpr int kSaveId = 1040;
    static constexpr int kStatusBarId = 1068;

    explicit CUserIdDialog(QWidget* parent = nullptr);

    // Registers the dialog and reads the user ID into the edit.
    bool OnInitDialog() override;
    void OnSave();

    QLineEdit* Edit() const { return m_edit; }
    QPushButton* SaveButton() const { return m_save; }

  private:
    QLineEdit* m_edit;
    QPushButton* m_save;
};

}  // namespace vela
