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

  private:
    std::vector<RegisteredDialog*> m_dialogs;
};

}  // namespace vela
