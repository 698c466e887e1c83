#include "mainwindow/spineditbox.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>
#include <climits>

namespace vela {
namespace {

// A whole decimal number with an optional sign and nothing else around it but blanks.
bool ParseWhole(const QString& text, long long& out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    out = t.toLongLong(&ok, 10);
    return ok;
}

}  // namespace

SpinEditBox::SpinEditBox(int editId, int upDownId, QWidget* parent)
    : QSpinBox(parent), m_editId(editId), m_upDownId(upDownId) {
    setGroupSeparatorShown(false);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFocusPolicy(Qt::StrongFocus);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(false);
    setObjectName(QStringLiteral("ctl%1").arg(editId));
    connect(this, &QAbstractSpinBox::editingFinished, this, &SpinEditBox::Commit);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_heldText.clear(); });
}

QString SpinEditBox::EditText() const {
    return lineEdit()->text();
}

void SpinEditBox::SetEditText(const QString& text) {
    const QSignalBlocker block(this);
    m_heldText = text == textFromValue(value()) ? QString() : text;
    lineEdit()->setText(text);
}

int SpinEditBox::Position() {
    long long typed = 0;
    if (ParseWhole(EditText(), typed) && typed >= minimum() && typed <= maximum()) {
        const QSignalBlocker block(this);
        setValue(static_cast<int>(typed));
    }
    return value();
}

void SpinEditBox::SetPosition(int pos) {
    const QSignalBlocker block(this);
    m_heldText.clear();
    setValue(std::clamp(pos, minimum(), maximum()));
    // setValue leaves the text alone when the value did not change.
    lineEdit()->setText(QString::number(value()));
}

void SpinEditBox::SetDeltaHandler(std::function<void(int, SpinNotify&)> handler) {
    m_onDelta = std::move(handler);
}

void SpinEditBox::SetCommitHandler(std::function<void(int)> handler) {
    m_onCommit = std::move(handler);
}

void SpinEditBox::stepBy(int steps) {
    // The up-down control takes up what was typed before it steps.
    Position();
    const long long delta = static_cast<long long>(steps) * singleStep();
    SpinNotify nm{value(), static_cast<int>(std::clamp<long long>(delta, INT_MIN, INT_MAX))};
    if (m_onDelta) m_onDelta(m_upDownId, nm);
    // The handler may have moved the position (a refused write puts it back).
    const long long target = static_cast<long long>(value()) + nm.delta;
    SetPosition(static_cast<int>(std::clamp<long long>(target, minimum(), maximum())));
    selectAll();
}

QValidator::State SpinEditBox::validate(QString& input, int& pos) const {
    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state != QValidator::Invalid) return state;
    // A number outside the range must stay as typed: dropping the keystroke would leave a
    // shorter number that fits ("2000" becoming "200") and that would then be written.
    static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?\\d*\\s*$"));
    return whole.match(input).hasMatch() ? QValidator::Intermediate : QValidator::Invalid;
}

void SpinEditBox::wheelEvent(QWheelEvent* event) {
    // A wheel turned over an unfocused field would write to the camera by accident.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QSpinBox::wheelEvent(event);
}

void SpinEditBox::showEvent(QShowEvent* event) {
    // Showing resets the text to the position; a held text must survive page switches.
    QSpinBox::showEvent(event);
    if (!m_heldText.isEmpty()) {
        const QSignalBlocker block(this);
        lineEdit()->setText(m_heldText);
    }
}

void SpinEditBox::Commit() {
    // A message box opened by the commit takes the focus and would commit again.
    if (m_committing || !m_onCommit) return;
    m_committing = true;
    m_onCommit(m_editId);
    m_committing = false;
}

}  // namespace vela
