#include "dialogs/dialogregistry.h"

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

LongOperation::LongOperation(DialogRegistry& registry) : m_registry(registry), m_started(!registry.m_busy) {
    if (!m_started) return;
    m_registry.m_busy = true;
    m_registry.EnableAll(0);
}

LongOperation::~LongOperation() {
    if (!m_started) return;
    m_registry.m_busy = false;
    m_registry.EnableAll(1);
}

}  // namespace vela
