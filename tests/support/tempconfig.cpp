#include "support/tempconfig.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vela::test {
namespace {

std::string g_dir;

struct Cleanup {
    ~Cleanup() {
        if (g_dir.empty()) return;
        std::error_code ec;
        std::filesystem::remove_all(g_dir, ec);
    }
} g_cleanup;

}  // namespace

std::string UseFreshConfigDir() {
    std::string tmpl = "/tmp/vela-test-XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    if (!g_dir.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(g_dir, ec);
    }
    g_dir = tmpl;
    setenv("VELA_CONFIG_DIR", g_dir.c_str(), 1);
    return g_dir;
}

const std::string& ConfigDirForTest() {
    return g_dir;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

}  // namespace vela::test
