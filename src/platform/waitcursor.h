#pragma once

namespace vela {

// The wait cursor shown while a transaction waits. The tool installs the Qt override
// cursor; without one (tests, no display) showing it does nothing.
class WaitCursor {
  public:
    virtual ~WaitCursor() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;

    static WaitCursor& Instance();
    static void Install(WaitCursor* cursor);  // not owned; nullptr restores the no-op
};

// Shows the wait cursor for the lifetime of the object.
class WaitCursorScope {
  public:
    WaitCursorScope() { WaitCursor::Instance().Begin(); }
    ~WaitCursorScope() { End(); }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;
    // Ends early, before a message box appears.
    void End() {
        if (m_active) WaitCursor::Instance().End();
        m_active = false;
    }

  private:
    bool m_active = true;
};

}  // namespace vela
