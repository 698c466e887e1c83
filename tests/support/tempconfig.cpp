#include "support/tempconfig.h"

#ifdef _WIN32
#include <process.h>
#endif

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

#ifdef _WIN32
// No mkdtemp: a name made of the process id and a count, taken when the folder is new.
std::string MakeTempDir() {
    static unsigned count = 0;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const auto dir = base / ("vela-test-" + std::to_string(::_getpid()) + "-" + std::to_string(count++));
        std::error_code ec;
        if (std::filesystem::create_directory(dir, ec)) return dir.string();
    }
    throw std::runtime_error("no temporary folder");
}
#endif

}  // namespace

std::string UseFreshConfigDir() {
#ifdef _WIN32
    std::string tmpl = MakeTempDir();
#else
    std::string tmpl = "/tmp/vela-test-XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
#endif
    if (!g_dir.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(g_dir, ec);
    }
    g_dir = tmpl;
#ifdef _WIN32
    ::_putenv_s("VELA_CONFIG_DIR", g_dir.c_str());
#else
    setenv("VELA_CONFIG_DIR", g_dir.c_str(), 1);
#endif
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
