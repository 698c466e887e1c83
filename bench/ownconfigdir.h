#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace vela::bench {

// A config folder of its own for the COMn link, removed again at the end.
struct OwnConfigDir {
    OwnConfigDir() {
        char dir[] = "/tmp/vela-bench-XXXXXX";
        if (::mkdtemp(dir)) {
            path = dir;
            ::setenv("VELA_CONFIG_DIR", dir, 1);
        }
    }
    ~OwnConfigDir() {
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
    OwnConfigDir(const OwnConfigDir&) = delete;
    OwnConfigDir& operator=(const OwnConfigDir&) = delete;
    std::string path;
};

}  // namespace vela::bench
