#include "platform/waitcursor.h"

namespace vela {
namespace {

class NoWaitCursor final : public WaitCursor {
  public:
    void Begin() override {}
    void End() override {}
};

NoWaitCursor g_none;
WaitCursor* g_installed = nullptr;

}  // namespace

WaitCursor& WaitCursor::Instance() {
    return g_installed ? *g_installed : g_none;
}

void WaitCursor::Install(WaitCursor* cursor) {
    g_installed = cursor;
}

}  // namespace vela
