#include "mainwindow/dialogregistry.h"

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
    for (std::size_t i = 0; i < m_dialogs.size(); ++i) {
        if (m_dialogs[i]->HasWindow()) m_dialogs[i]->EnableWindow(enable != 0);
    }
}

}  // namespace vela
