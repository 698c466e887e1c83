#include "app/configpaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vela {
namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

}  // namespace

std::string ConfigDir() {
    std::string dir = Env("VELA_CONFIG_DIR");
    if (!dir.empty()) return dir;
#ifdef _WIN32
    // The user's roaming application data, where Windows programs keep their files.
    dir = Env("APPDATA");
    if (!dir.empty()) return dir + "/Corvane";
#endif
    dir = Env("XDG_CONFIG_HOME");
    if (!dir.empty()) return dir + "/Corvane";
    std::string home = Env("HOME");
    if (home.empty()) home = "/tmp";
    return home + "/.config/Corvane";
}

std::string RuntimeDir() {
    std::string dir = Env("XDG_RUNTIME_DIR");
    return dir.empty() ? std::string("/tmp") : dir;
}

bool MakeDirs(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

}  // namespace vela
