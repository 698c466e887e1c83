#pragma once

#include <string>

namespace vela {

// <config>: $VELA_CONFIG_DIR when set, else $XDG_CONFIG_HOME/Corvane, else ~/.config/Corvane
// (on Windows %APPDATA%\Corvane before those).
// Not created here; writers create it when they first store something.
std::string ConfigDir();

// The runtime directory for lock files: $XDG_RUNTIME_DIR when set, else /tmp.
std::string RuntimeDir();

// Creates `path` and its missing parents; true when it exists as a folder afterwards.
bool MakeDirs(const std::string& path);

}  // namespace vela
