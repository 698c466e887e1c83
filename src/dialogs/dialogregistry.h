#pragma once

#include <vector>

namespace vela {

// A dialog that is disabled together with the others while a long camera operation
// runs. Qt dialogs implement it.
class RegisteredDialog {
  public:
    virtual ~RegisteredDialog() = default;
    // False once the dialog's window has been destroyed (or before it exists).
    virtual bool HasWindow() const = 0;
    virtual void EnableWindow(bool enable) = 0;
};

// The process-wide list of open dialogs, in registration order.
class DialogRegistry {
  public:
    DialogRegistry() = default;
    DialogRegistry(const DialogRegistry&) = delete;
    DialogRegistry& operator=(const DialogRegistry&) = delete;

    static DialogRegistry& Instance();

    void Register(RegisteredDialog* dialog);    // appends; duplicates allowed
    void Unregister(RegisteredDialog* dialog);  // removes every entry of the dialog
    // Enables (non-zero) or disables every registered dialog that has a window.
    void EnableAll(int enable);
    std::size_t Count() const { return m_dialogs.size(); }
    // True while a LongOperation runs.
    bool Busy() const { return m_busy; }

  private:
    friend class LongOperation;
    std::vector<RegisteredDialog*> m_dialogs;
    bool m_busy = false;
};

// One long camera operation: a whole read, a setting-file load or save, Store All, a LUT
// transfer, a recalibration wait, a port search. From its start to its end, failures and
// early returns included, every registered dialog is disabled; the end enables them all.
// Only one runs at a time: an operation asked for while another runs (from a nested event
// loop of the first, say) does not start, and its caller returns without touching the
// camera. An operation made of others passes its own LongOperation on to them.
class LongOperation {
  public:
    explicit LongOperation(DialogRegistry& registry = DialogRegistry::Instance());
    ~LongOperation();
    LongOperation(const LongOperation&) = delete;
    LongOperation& operator=(const LongOperation&) = delete;

    // False when another operation was running already: this one must not go on.
    bool Started() const { return m_started; }

  private:
    DialogRegistry& m_registry;
    bool m_started;
};

}  // namespace vela
