#include "mainwindow/gen.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "mainwindow/spineditbox.h"

namespace vela {
namespace {

// The radio buttons among the parent's children, in child order.
QList<QRadioButton*> SiblingRadios(QAbstractButton* button) {
    QList<QRadioButton*> radios;
    if (!button || !button->parentWidget()) return radios;
    for (QObject* child : button->parentWidget()->children()) {
        if (auto* radio = qobject_cast<QRadioButton*>(child)) radios.push_back(radio);
    }
    return radios;
}

bool IsGroupStart(const QAbstractButton* button) {
    return button->property("groupStart").toBool();
}

// The buttons of the group that starts at `first`: it runs until the next group start.
QList<QRadioButton*> GroupFrom(QAbstractButton* first) {
    QList<QRadioButton*> group;
    const QList<QRadioButton*> radios = SiblingRadios(first);
    const qsizetype start = radios.indexOf(qobject_cast<QRadioButton*>(first));
    if (start < 0) return group;
    for (qsizetype i = start; i < radios.size(); ++i) {
        if (i > start && IsGroupStart(radios[i])) break;
        group.push_back(radios[i]);
    }
    return group;
}

}  // namespace

CGen& CGen::Instance() {
    static CGen instance;
    return instance;
}

int CGen::ClassifyWindow(const QWidget* window) const {
    if (!window) return kOther;
    if (qobject_cast<const SpinEditBox*>(window) || qobject_cast<const QLineEdit*>(window)) return kEdit;
    if (qobject_cast<const QAbstractSpinBox*>(window)) return kUpDown;
    if (qobject_cast<const QComboBox*>(window)) return kComboBox;
    if (qobject_cast<const QAbstractButton*>(window) || qobject_cast<const QGroupBox*>(window))
        return kButton;
    return kOther;
}

int CGen::ClassifyControl(const QWidget* window, int ctrlId) const {
    const auto* spin = qobject_cast<const SpinEditBox*>(window);
    if (spin && ctrlId == spin->UpDownId()) return kUpDown;
    return ClassifyWindow(window);
}

int CGen::GetButtonKind(const QWidget* window) const {
    if (qobject_cast<const QPushButton*>(window)) return kPushButton;
    if (qobject_cast<const QCheckBox*>(window)) return kCheckBox;
    if (qobject_cast<const QRadioButton*>(window)) return kRadioButton;
    return 0;
}

int CGen::GetControlKind(const QWidget* window, int ctrlId) const {
    const int cls = ClassifyControl(window, ctrlId);
    if (cls != kButton) return cls;
    const int kind = GetButtonKind(window);
    return kind != 0 ? kind : kButton;
}

bool CGen::GetRadioGroup(QAbstractButton* button, int& index, int& firstId) const {
    if (!qobject_cast<QRadioButton*>(button)) return false;
    const QList<QRadioButton*> radios = SiblingRadios(button);
    qsizetype pos = radios.indexOf(qobject_cast<QRadioButton*>(button));
    const qsizetype clicked = pos;
    // Walk back to the group start; a run without one starts at its first radio button.
    while (pos > 0 && !IsGroupStart(radios[pos])) --pos;
    index = static_cast<int>(clicked - pos);
    firstId = radios[pos]->property("ctrlId").toInt();
    return true;
}

bool CGen::GetRadioIndex(QAbstractButton* first, int& index) const {
    const QList<QRadioButton*> group = GroupFrom(first);
    for (qsizetype i = 0; i < group.size(); ++i) {
        if (group[i]->isChecked()) {
            index = static_cast<int>(i);
            return true;
        }
    }
    index = 0;
    return false;
}

bool CGen::SetRadioIndex(QAbstractButton* first, int index) const {
    const QList<QRadioButton*> group = GroupFrom(first);
    bool reached = false;
    for (qsizetype i = 0; i < group.size(); ++i) {
        // Auto-exclusive buttons refuse to uncheck the last checked one.
        const bool wasExclusive = group[i]->autoExclusive();
        group[i]->setAutoExclusive(false);
        group[i]->setChecked(i == index);
        group[i]->setAutoExclusive(wasExclusive);
        if (i == index) reached = true;
    }
    return reached;
}

}  // namespace vela
