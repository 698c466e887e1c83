// Device-version answers: a text splits only with exactly three dots and then joins back
// whole; what is written back always has three dots and one character at most per part.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "camera/cameraidentity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vela::DeviceVersionParts parts = {"?", "?", "?", "?"};
    const bool split = vela::SplitDeviceVersion(text, parts);
    if (split != (std::count(text.begin(), text.end(), '.') == 3)) std::abort();
    if (!split) {
        if (parts != vela::DeviceVersionParts{"?", "?", "?", "?"}) std::abort();
        return 0;
    }
    if (parts[0] + '.' + parts[1] + '.' + parts[2] + '.' + parts[3] != text) std::abort();

    const std::string written = vela::ComposeDeviceVersion(parts);
    if (std::count(written.begin(), written.end(), '.') != 3) std::abort();
    if (vela::CharacterCount(written) > 7) std::abort();
    for (const std::string& part : parts) {
        const std::string first = vela::FirstCharacter(part);
        if (part.compare(0, first.size(), first) != 0 || (first.empty() != part.empty())) std::abort();
    }
    return 0;
}
