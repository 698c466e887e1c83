#pragma once

#include <string>

namespace vela::test {

// Points VELA_CONFIG_DIR at a new empty folder under /tmp (the temporary folder on
// Windows) and returns it. The folder
// is removed when the process ends normally.
std::string UseFreshConfigDir();

// The folder chosen by the last UseFreshConfigDir().
const std::string& ConfigDirForTest();

// Whole-file helpers for fixtures.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);

}  // namespace vela::test
