#pragma once

#include <QSpinBox>
#include <functional>

namespace vela {

// What an arrow step reports before it moves the position: the handler may change both,
// and the control then moves to its (possibly changed) position plus `delta`.
struct SpinNotify {
    int pos = 0;
    int delta = 0;
};

// An edit with its up-down control (a "spin edit"), as one widget that answers to both control ids:
// the edit id (its text) and the up-down id (its 32-bit position and range). The
// edit's "user data" is the up-down id.
class SpinEditBox : public QSpinBox {
    Q_OBJECT

  public:
    SpinEditBox(int editId, int upDownId, QWidget* parent = nullptr);

    int EditId() const { return m_editId; }
    int UpDownId() const { return m_upDownId; }

    // The edit's text, as typed or shown.
    QString EditText() const;
    // Shows `text` in the edit without moving the position (a value outside the range
    // stays visible as it is, as in a plain edit).
    void SetEditText(const QString& text);

    // The position after re-reading the edit: text that is a whole number inside the
    // range becomes the position; anything else leaves the position as it was.
    int Position();
    // Moves the position (clamped into the range) and shows it in the edit. Never
    // reports a change.
    void SetPosition(int pos);

    // Hands the edit to the commit handler, as leaving the field does.
    void Commit();

    void SetDeltaHandler(std::function<void(int upDownId, SpinNotify& nm)> handler);
    void SetCommitHandler(std::function<void(int editId)> handler);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    int m_editId;
    int m_upDownId;
    bool m_committing = false;
    // Text shown for a value outside the range, which the spin box itself cannot hold;
    // kept until the position moves or the operator types.
    QString m_heldText;
    std::function<void(int, SpinNotify&)> m_onDelta;
    std::function<void(int)> m_onCommit;
};

}  // namespace vela
