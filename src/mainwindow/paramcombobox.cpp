#include "mainwindow/paramcombobox.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace vela {

ParamComboBox::ParamComboBox(int ctrlId, QWidget* parent) : QComboBox(parent), m_ctrlId(ctrlId) {
    setObjectName(QStringLiteral("ctl%1").arg(ctrlId));
    setFocusPolicy(Qt::StrongFocus);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(this, &QComboBox::activated, this, &ParamComboBox::OnActivated);
}

void ParamComboBox::AddItems(const QStringList& items) {
    const QSignalBlocker block(this);
    for (const QString& item : items) addItem(item, 0);
}

void ParamComboBox::SelectQuiet(int index) {
    SelectComboQuiet(this, index);
}

void ParamComboBox::SetChangeHandler(std::function<void(int)> handler) {
    m_onChange = std::move(handler);
}

void ParamComboBox::OperatorSelect(int index) {
    m_indexBeforeOperator = currentIndex();
    setCurrentIndex(index);
    emit activated(index);
}

void ParamComboBox::AcceptHighlighted() {
    const QModelIndex highlighted = view()->currentIndex();
    hidePopup();
    if (!highlighted.isValid()) return;
    setCurrentIndex(highlighted.row());
    emit activated(highlighted.row());
}

void ParamComboBox::showPopup() {
    m_indexBeforeOperator = currentIndex();
    QComboBox::showPopup();
}

void ParamComboBox::keyPressEvent(QKeyEvent* event) {
    m_indexBeforeOperator = currentIndex();
    QComboBox::keyPressEvent(event);
}

void ParamComboBox::wheelEvent(QWheelEvent* event) {
    // A wheel turned over an unfocused list would write to the camera by accident.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    m_indexBeforeOperator = currentIndex();
    QComboBox::wheelEvent(event);
}

void ParamComboBox::OnActivated(int index) {
    // Choosing the item that was already selected changes nothing.
    if (index == m_indexBeforeOperator) return;
    m_indexBeforeOperator = index;
    if (m_onChange) m_onChange(m_ctrlId);
}

void SelectComboQuiet(QComboBox* combo, int index) {
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

}  // namespace vela
