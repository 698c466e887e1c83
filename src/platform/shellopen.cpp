#include "platform/shellopen.h"

namespace vela {
namespace {

class NoShellOpen final : public ShellOpen {
  public:
    bool Open(const std::string&) override { return false; }
};

NoShellOpen g_none;
ShellOpen* g_installed = nullptr;

}  // namespace

ShellOpen& ShellOpen::Instance() {
    return g_installed ? *g_installed : g_none;
}

void ShellOpen::Install(ShellOpen* opener) {
    g_installed = opener;
}

}  // namespace vela
