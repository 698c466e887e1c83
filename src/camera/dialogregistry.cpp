#include "camera/dialogregistry.h"

#include <algorithm>

namespace vela {

DialogRegistry& DialogRegistry::Instance() {
    static DialogRegistry instance;
    return instance;
}

void DialogRegistry::Register(RegisteredDialog* dialog) {
    if (dialog) m_dialogs.push_back(dialog);
}

void DialogRegistry::Unregister(RegisteredDialog* dialog) {
    m_dialogs.erase(std::remove(m_dialogs.begin(), m_dialogs.end(), dialog), m_dialogs.end());
}

void DialogRegistry::EnableAll(int enable) {
    // Enabling a window may close another one, which then leaves the list: walk a copy and
    // skip whoever left.
    const std::vector<RegisteredDialog*> dialogs = m_dialogs;
    for (RegisteredDialog* dialog : dialogs) {
        if (std::find(m_dialogs.begin(), m_dialogs.end(), dialog) == m_dialogs.end()) continue;
        if (dialog->HasWindow()) dialog->EnableWindow(enable != 0);
    }
}

}  // namespace vela
