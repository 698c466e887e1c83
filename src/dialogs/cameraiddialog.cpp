#include "dialogs/cameraiddialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/registrysettings.h"
#include "camera/cameraidentity.h"
#include "dialogs/cameratext.h"
#include "dialogs/resultboxes.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"

namespace vela {

CCameraIdDialog::CCameraIdDialog(QWidget* parent) : StatusBarDialog(kStatusBarId, parent) {
    setWindowTitle(QStringLiteral("Camera Id"));
    auto* group = new QGroupBox(QStringLiteral("Camera Id"), this);
    auto* row = new QHBoxLayout(group);
    row->setSpacing(2);
    for (int id : kBoxIds) {
        auto* box = Bind(new QLineEdit(group), id);
        box->setAlignment(Qt::AlignCenter);
        box->setAccessibleName(QStringLiteral("Camera Id, character %1").arg(m_boxes.size() + 1));
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 2 + 4);
        row->addWidget(box);
        m_boxes.push_back(box);
    }
    row->addSpacing(12);
    m_save = Bind(new QPushButton(QStringLiteral("Save"), group), kSaveId);
    m_save->setAutoDefault(false);
    row->addWidget(m_save);
    Body()->addWidget(group);
    connect(m_save, &QPushButton::clicked, this, &CCameraIdDialog::OnSave);
}

bool CCameraIdDialog::OnInitDialog() {
    RegisterDialog();
    std::string answer;
    if (Command::Instance().ReadString(kCmdID, answer, kIdentityTimeoutMs)) {
        const auto boxes = CameraIdBoxes(answer);
        for (qsizetype i = 0; i < m_boxes.size(); ++i) {
            m_boxes[i]->setText(FromCameraText(boxes[static_cast<std::size_t>(i)]));
        }
    }
    m_save->setVisible(ControlMode::Instance().Get() == 1);
    return true;
}

void CCameraIdDialog::OnSave() {
    // Only the first character of a box counts, so only that one must fit in a byte.
    std::vector<std::string> boxes;
    for (QLineEdit* box : m_boxes) {
        const std::optional<std::string> first = ToCameraText(FirstCharacter(box->text()), "Camera id");
        if (!first) return;
        boxes.push_back(*first);
    }
    ShowActionMessage(WriteCameraId(Command::Instance(), CameraIdFromBoxes(boxes)));
}

}  // namespace vela
