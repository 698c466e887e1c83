#pragma once

#include <string>

namespace vela::cli {

// Command names close to `upperName` (a shared start or at most two edits away), as
// "GA, GMA"; "" when none is close.
std::string SuggestNames(const std::string& upperName);

}  // namespace vela::cli
