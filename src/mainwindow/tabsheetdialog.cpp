#include "mainwindow/tabsheetdialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "mainwindow/ctrltooldlg.h"
#include "mainwindow/paramcombobox.h"
#include "mainwindow/spineditbox.h"

namespace vela {

CTabSheetDialog::CTabSheetDialog(int templateId, int factoryPage, const QString& caption, CCtrlToolDlg* owner)
    : QDialog(nullptr),
      m_owner(owner),
      m_templateId(templateId),
      m_factoryPage(factoryPage),
      m_caption(caption) {
    setObjectName(QStringLiteral("page%1").arg(templateId));
}

int CTabSheetDialog::Create(QWidget* parent) {
    // A child page, not a window of its own.
    setParent(parent, Qt::Widget);
    const bool known = BuildPageLayout(*this);
    OnInitDialog();
    m_created = true;
    return known ? 1 : 0;
}

void CTabSheetDialog::OnInitDialog() {
    // The pairing of each edit with its up-down control is carried by the spin edits.
    setAutoFillBackground(true);
}

QWidget* CTabSheetDialog::ControlById(int ctrlId) const {
    return m_controls.value(ctrlId, nullptr);
}

QList<int> CTabSheetDialog::ControlIds() const {
    QList<int> ids = m_controls.keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}

void CTabSheetDialog::Register(QWidget* widget, int ctrlId) {
    widget->setProperty("ctrlId", ctrlId);
    if (widget->objectName().isEmpty()) widget->setObjectName(QStringLiteral("ctl%1").arg(ctrlId));
    m_controls.insert(ctrlId, widget);
}

ParamComboBox* CTabSheetDialog::AddCombo(int ctrlId, const QStringList& items) {
    auto* combo = new ParamComboBox(ctrlId, this);
    combo->AddItems(items);
    combo->SetChangeHandler([this](int id) {
        if (m_owner) m_owner->DispatchComboChanged(id);
    });
    Register(combo, ctrlId);
    return combo;
}

SpinEditBox* CTabSheetDialog::AddSpin(int editId, int upDownId) {
    auto* spin = new SpinEditBox(editId, upDownId, this);
    spin->SetDeltaHandler([this](int id, SpinNotify& nm) {
        if (m_owner) m_owner->DispatchSpinDelta(id, nm);
    });
    spin->SetCommitHandler([this](int id) {
        if (m_owner) m_owner->DispatchEditCommit(id);
    });
    Register(spin, editId);
    m_controls.insert(upDownId, spin);
    return spin;
}

QLabel* CTabSheetDialog::AddStatic(int ctrlId, const QString& text) {
    auto* label = new QLabel(text, this);
    Register(label, ctrlId);
    return label;
}

QPushButton* CTabSheetDialog::AddButton(int ctrlId, const QString& text) {
    auto* button = new QPushButton(text, this);
    // Enter must never press a page button.
    button->setAutoDefault(false);
    button->setDefault(false);
    connect(button, &QPushButton::clicked, this, [this, ctrlId] {
        if (m_owner) m_owner->DispatchButtonClicked(ctrlId);
    });
    Register(button, ctrlId);
    return button;
}

QLineEdit* CTabSheetDialog::AddEdit(int ctrlId) {
    auto* edit = new QLineEdit(this);
    connect(edit, &QLineEdit::editingFinished, this, [this, ctrlId] {
        if (m_owner) m_owner->DispatchEditCommit(ctrlId);
    });
    Register(edit, ctrlId);
    return edit;
}

void CTabSheetDialog::HideForever(QWidget* widget) {
    widget->setEnabled(false);
    widget->hide();
    widget->setProperty("neverShown", true);
}

}  // namespace vela
