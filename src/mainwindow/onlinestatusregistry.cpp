#include "mainwindow/onlinestatusregistry.h"

#include <algorithm>

namespace vela {

void COnlineStatusUpdater::UpdateOnlineStatus(int /*online*/) {}

void COnlineStatusUpdater::SetStatusBar(bool /*online*/) {}

OnlineStatusRegistry& OnlineStatusRegistry::Instance() {
    static OnlineStatusRegistry instance;
    return instance;
}

void OnlineStatusRegistry::Register(COnlineStatusUpdater* updater) {
    if (!updater) return;
    // A window registered later shows the current state at once.
    if (updater->HasStatusBarWindow()) updater->SetStatusBar(m_online);
    m_updaters.push_back(updater);
}

void OnlineStatusRegistry::Unregister(COnlineStatusUpdater* updater) {
    m_updaters.erase(std::remove(m_updaters.begin(), m_updaters.end(), updater), m_updaters.end());
}

void OnlineStatusRegistry::SetState(bool online) {
    m_online = online;
    // Indexed walks: an updater may unregister itself (or another) while it is notified.
    for (std::size_t i = 0; i < m_updaters.size(); ++i) {
        if (m_updaters[i]->HasStatusBarWindow()) m_updaters[i]->SetStatusBar(online);
    }
    for (std::size_t i = 0; i < m_updaters.size(); ++i) {
        if (m_updaters[i]->HasStatusBarWindow()) m_updaters[i]->UpdateOnlineStatus(online ? 1 : 0);
    }
}

}  // namespace vela
