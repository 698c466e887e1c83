// The online indication: which windows hear of a state change, and in which order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/onlinestatusregistry.h"

namespace vela {
namespace {

// Writes every bar change and notification into a shared journal.
class FakeUpdater : public COnlineStatusUpdater {
  public:
    FakeUpdater(std::string name, std::vector<std::string>& journal, bool hasBar = true,
                bool overrides = true)
        : m_name(std::move(name)), m_journal(journal), m_hasBar(hasBar), m_overrides(overrides) {}
    void UpdateOnlineStatus(int online) override {
        if (m_overrides) m_journal.push_back(m_name + " status " + std::to_string(online));
    }
    bool HasStatusBarWindow() const override { return m_hasBar; }
    void SetStatusBar(bool online) override { m_journal.push_back(m_name + (online ? " green" : " red")); }

  private:
    std::string m_name;
    std::vector<std::string>& m_journal;
    bool m_hasBar;
    bool m_overrides;
};

TEST(OnlineStatusRegistry, NewWindowsShowTheCurrentStateAtOnce) {
    OnlineStatusRegistry registry;
    std::vector<std::string> journal;
    FakeUpdater a("a", journal), b("b", journal);
    EXPECT_FALSE(registry.IsOnline());
    registry.Register(&a);
    EXPECT_EQ(journal, (std::vector<std::string>{"a red"}));
    registry.SetOnline();
    registry.Register(&b);
    EXPECT_EQ(journal, (std::vector<std::string>{"a red", "a green", "a status 1", "b green"}));
}

TEST(OnlineStatusRegistry, EveryCallNotifiesBarsFirstThenStatusInOrder) {
    OnlineStatusRegistry registry;
    std::vector<std::string> journal;
    FakeUpdater a("a", journal), b("b", journal, true, false), gone("gone", journal, false);
    registry.Register(&a);
    registry.Register(&gone);  // its window was never created: skipped everywhere
    registry.Register(&b);
    registry.Register(&a);  // listed twice: notified twice
    journal.clear();
    registry.SetOffline();  // no change of state, still a full round
    EXPECT_EQ(journal, (std::vector<std::string>{"a red", "b red", "a red", "a status 0", "a status 0"}));
    journal.clear();
    registry.Unregister(&a);
    EXPECT_EQ(registry.Count(), 2u);
    registry.SetOnline();
    EXPECT_EQ(journal, (std::vector<std::string>{"b green"}));
    EXPECT_TRUE(registry.IsOnline());
}

TEST(OnlineStatusRegistry, AnUpdaterMayLeaveWhileNotified) {
    OnlineStatusRegistry registry;
    std::vector<std::string> journal;
    struct Leaver : FakeUpdater {
        using FakeUpdater::FakeUpdater;
        OnlineStatusRegistry* registry = nullptr;
        void UpdateOnlineStatus(int online) override {
            FakeUpdater::UpdateOnlineStatus(online);
            registry->Unregister(this);
        }
    } leaver("leaver", journal);
    leaver.registry = &registry;
    FakeUpdater stays("stays", journal);
    registry.Register(&leaver);
    registry.Register(&stays);
    registry.SetOnline();
    EXPECT_EQ(registry.Count(), 1u);
    EXPECT_EQ(journal.back(), "stays status 1");
}

TEST(OnlineStatusRegistry, ProcessWideInstances) {
    EXPECT_EQ(&OnlineStatusRegistry::Instance(), &OnlineStatusRegistry::Instance());
    EXPECT_FALSE(OnlineStatusRegistry::Instance().IsOnline());
}

}  // namespace
}  // namespace vela
