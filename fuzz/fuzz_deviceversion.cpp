// Device-version answers: a text splits only with exactly three dots and then joins back
// whole; what is written back always has three dots and the first byte of each part.
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
    // One byte at most per part: the camera's texts are Latin-1.
    if (written.size() > 7) std::abort();
    std::string firsts;
    for (const std::string& part : parts) firsts += part.substr(0, 1);
    std::string joined = written;
    joined.erase(std::remove(joined.begin(), joined.end(), '.'), joined.end());
    if (joined != firsts) std::abort();
    return 0;
}
