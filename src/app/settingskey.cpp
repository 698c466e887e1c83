#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/configpaths.h"
#include "app/settingskey.h"
#include "platform/atomicfile.h"

namespace vela {
namespace {

// Replaces the file atomically, creating its folder first.
bool WriteAtomically(const std::string& path, const std::string& data) {
    const std::filesystem::path p(path);
    if (p.has_parent_path() && !MakeDirs(p.parent_path().string())) return false;
    return WriteFileAtomically(path, data);
}

// Reads the file into `store`; true when the key was there. A missing file, or one
// without our key, is a missing key: when asked, it is created (written out) and the
// operation in progress counts as failed. An unreadable file is left alone.
bool OpenKey(const std::string& path, RegStore& store, bool createMissingKey) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::ostringstream s;
        s << in.rdbuf();
        store.Parse(s.str());
        if (store.HasKey()) return true;
    } else if (std::filesystem::exists(path)) {
        return false;
    }
    if (createMissingKey) {
        store.CreateKey();
        WriteAtomically(path, store.Serialize());
    }
    return false;
}

}  // namespace

std::string DefaultSettingsLocation() {
    return ConfigDir() + "/VELA-4K Control Tool.reg";
}

std::optional<RegStore::Value> ReadSettingValue(const std::string& location, const std::string& name,
                                                bool createMissingKey) {
    RegStore store(kSettingsKeyPath);
    if (!OpenKey(location, store, createMissingKey)) return std::nullopt;
    return store.Get(name);
}

bool WriteSettingValue(const std::string& location, const std::string& name, const RegStore::Value& value) {
    RegStore store(kSettingsKeyPath);
    if (!OpenKey(location, store, true)) return false;
    if (!store.Set(name, value)) return false;
    return WriteAtomically(location, store.Serialize());
}

}  // namespace vela
