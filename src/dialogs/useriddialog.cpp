#include "dialogs/useriddialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "camera/cameraidentity.h"
#include "dialogs/cameratext.h"
#include "dialogs/controlnames.h"
#include "dialogs/resultboxes.h"
#include "protocol/command.h"

namespace vela {

CUserIdDialog::CUserIdDialog(QWidget* parent) : StatusBarDialog(kStatusBarId, parent) {
    setWindowTitle(QStringLiteral("User Id"));
    auto* group = new QGroupBox(this);
    auto* row = new QHBoxLayout(group);
    row->setSpacing(8);
    auto* label = new QLabel(QStringLiteral("User ID"), group);
    row->addWidget(label);
    m_edit = Bind(new QLineEdit(group), kEditId);
    NameAfterLabel(m_edit, label);
    // Wide enough for sixteen characters, so a longer text shows that it is too long.
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(QStringLiteral("W").repeated(17)));
    row->addWidget(m_edit, 1);
    m_save = Bind(new QPushButton(QStringLiteral("Save"), group), kSaveId);
    // Enter in the edit must not write to the camera.
    m_save->setAutoDefault(false);
    row->addWidget(m_save);
    Body()->addWidget(group);
    connect(m_save, &QPushButton::clicked, this, &CUserIdDialog::OnSave);
}

bool CUserIdDialog::OnInitDialog() {
    RegisterDialog();
    m_edit->setText(FromCameraText(ReadUserIdOrPlaceholder(Command::Instance())));
    return true;
}

void CUserIdDialog::OnSave() {
    if (const std::optional<std::string> text = ToCameraText(m_edit->text(), "User ID string"))
        ShowActionMessage(WriteUserId(Command::Instance(), *text));
}

}  // namespace vela
