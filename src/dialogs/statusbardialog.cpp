#include "dialogs/statusbardialog.h"

#include <QVBoxLayout>

#include "dialogs/enterkey.h"
#include "dialogs/statusstrip.h"

namespace vela {

StatusBarDialog::StatusBarDialog(int statusBarId, QWidget* parent) : QDialog(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    m_body = new QVBoxLayout;
    m_body->setContentsMargins(10, 10, 10, 8);
    m_body->setSpacing(8);
    outer->addLayout(m_body);
    m_statusBar = new StatusStrip(statusBarId, this);
    outer->addWidget(m_statusBar);
}

StatusBarDialog::~StatusBarDialog() {
    if (!m_registered) return;
    m_registered = false;
    OnlineStatusRegistry::Instance().Unregister(this);
    DialogRegistry::Instance().Unregister(this);
}

int StatusBarDialog::DoModal() {
    OnInitDialog();
    return exec();
}

void StatusBarDialog::RegisterDialog() {
    m_registered = true;
    OnlineStatusRegistry::Instance().Register(this);
    DialogRegistry::Instance().Register(this);
}

void StatusBarDialog::keyPressEvent(QKeyEvent* event) {
    if (!HandleEnterKey(*this, event)) QDialog::keyPressEvent(event);
}

QWidget* StatusBarDialog::FindControl(int ctrlId) const {
    return findChild<QWidget*>(QStringLiteral("ctl%1").arg(ctrlId));
}

void StatusBarDialog::SetStatusBar(bool online) {
    m_statusBar->ShowOnline(online);
}

void StatusBarDialog::BindId(QWidget* widget, int ctrlId) {
    widget->setProperty("ctrlId", ctrlId);
    widget->setObjectName(QStringLiteral("ctl%1").arg(ctrlId));
}

}  // namespace vela
