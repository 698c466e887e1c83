#include "protocol/onlinestatusregistry.h"

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

bool OnlineStatusRegistry::IsRegistered(const COnlineStatusUpdater* updater) const {
    return std::find(m_updaters.begin(), m_updaters.end(), updater) != m_updaters.end();
}

void OnlineStatusRegistry::SetState(bool online) {
    m_online = online;
    // A notified window may unregister itself or others: walk a copy and skip whoever left.
    const std::vector<COnlineStatusUpdater*> updaters = m_updaters;
    for (COnlineStatusUpdater* updater : updaters) {
        if (IsRegistered(updater) && updater->HasStatusBarWindow()) updater->SetStatusBar(online);
    }
    for (COnlineStatusUpdater* updater : updaters) {
        if (IsRegistered(updater) && updater->HasStatusBarWindow())
            updater->UpdateOnlineStatus(online ? 1 : 0);
    }
}

}  // namespace vela
