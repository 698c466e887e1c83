#pragma once

#include <QList>
#include <array>

#include "dialogs/statusbardialog.h"

class QLineEdit;
class QPushButton;

namespace vela {

// "Camera Id": the camera's ten-character identifier, one character per box, written
// anew only in the factory control mode.
class CCameraIdDialog : public StatusBarDialog {
    Q_OBJECT

  public:
    // The boxes in the identifier's character order.
    static constexpr std::array<int, 10> kBoxIds = {1029, 1030, 1031, 1032, 1033,
                                                    1034, 1035, 1036, 1037, 1042};
    static constexpr int kSaveId = 1050;
    static constexpr int kStatusBarId = 1065;

    explicit CCameraIdDialog(QWidget* parent = nullptr);

    // Registers the dialog, reads the identifier into the boxes and shows "Save" only when
    // the control mode is exactly 1.
    bool OnInitDialog() override;
    void OnSave();

    const QList<QLineEdit*>& Boxes() const { return m_boxes; }
    QPushButton* SaveButton() const { return m_save; }

  private:
    QList<QLineEdit*> m_boxes;
    QPushButton* m_save;
};

}  // namespace vela
