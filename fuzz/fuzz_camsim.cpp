// The simulated camera's line handling: any bytes, split into lines, must be answered with
// at most one plain ASCII line each, and no sequence of lines may push a parameter out of
// its range or the camera off the five baud rates.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/cameracore.h"

namespace {

bool PlainAscii(const std::string& s) {
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E) return false;
    }
    return true;
}

void Within(const vela::sim::CameraCore& cam, const char* name, long long min, long long max) {
    std::optional<long long> v = cam.Value(name);
    if (!v || *v < min || *v > max) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    long long now = 0;
    vela::sim::CameraOptions options;
    options.clockMs = [&now] { return now; };
    vela::sim::CameraCore cam(options);

    const std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= input.size()) {
        std::size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        const std::string line = input.substr(start, end - start);
        start = end + 1;
        now += 37;

        const auto answers = cam.HandleLine(line);
        if (answers.size() > 1) std::abort();
        for (const std::string& a : answers) {
            if (!PlainAscii(a) || a.size() >= 1024) std::abort();
            if (a != "COMPLETE" && a != "ERROR" && a.find('=') == std::string::npos) std::abort();
        }
        if (cam.PendingBaudRate() != 0) cam.ApplyPendingBaudRate();
        if (vela::sim::CameraCore::BaudCode(cam.BaudRate()) == 0) std::abort();
        if (cam.CurrentArea() < 0 || cam.CurrentArea() > 3) std::abort();
    }
    Within(cam, "GA", 100, 1600);
    Within(cam, "BL", -133, 255);
    Within(cam, "LUTI", 0, 255);
    Within(cam, "LUTD", 0, 4095);
    Within(cam, "HB", 1, 2);
    Within(cam, "XMLVR", 0, 999);
    if (cam.Text("UD").size() > 16 || cam.Text("ID").size() > 10) std::abort();
    return 0;
}
