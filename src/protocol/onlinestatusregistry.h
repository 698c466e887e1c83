#pragma once

#include <cstdint>
#include <vector>

namespace vela {

// The bar colours: solid red while offline, solid green while online.
inline constexpr std::uint32_t kOfflineBarRgb = 0xFF0000;
inline constexpr std::uint32_t kOnlineBarRgb = 0x008000;

// A window with an online/offline bar along its bottom edge. Qt windows implement the
// bar hooks; only a window that shows more than the bar overrides UpdateOnlineStatus.
class COnlineStatusUpdater {
  public:
    virtual ~COnlineStatusUpdater() = default;
    // 1 when the camera has answered, 0 when a transaction has timed out.
    virtual void UpdateOnlineStatus(int online);

    // Whether the bar control exists; updaters without one are skipped.
    virtual bool HasStatusBarWindow() const { return false; }
    // Paints the bar red (offline) or green (online).
    virtual void SetStatusBar(bool online);
};

// The process-wide online indication: every registered window's bar shows the state,
// red from the start until the first answered transaction.
class OnlineStatusRegistry {
  public:
    OnlineStatusRegistry() = default;
    OnlineStatusRegistry(const OnlineStatusRegistry&) = delete;
    OnlineStatusRegistry& operator=(const OnlineStatusRegistry&) = delete;

    static OnlineStatusRegistry& Instance();

    // Shows the current state on the updater's bar, then appends it (duplicates allowed).
    void Register(COnlineStatusUpdater* updater);
    // Removes every entry of the updater.
    void Unregister(COnlineStatusUpdater* updater);
    // Both notify on every call, whether or not the state changed.
    void SetOnline() { SetState(true); }
    void SetOffline() { SetState(false); }
    bool IsOnline() const { return m_online; }
    std::size_t Count() const { return m_updaters.size(); }

  private:
    void SetState(bool online);
    bool IsRegistered(const COnlineStatusUpdater* updater) const;

    std::vector<COnlineStatusUpdater*> m_updaters;
    bool m_online = false;
};

}  // namespace vela
