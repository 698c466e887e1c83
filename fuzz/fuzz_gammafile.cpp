// The gamma file reader: any bytes must read without harm, every stored value must lie
// in 0 .. 4095, at most one value message and one format message may show, and a table
// that was read whole must survive a write and a second read unchanged.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "camera/gammafile.h"
#include "platform/prompt.h"

namespace {

struct CountingPrompt : vela::Prompt {
    vela::PromptAnswer Show(const std::string&, const std::string&, vela::PromptIcon,
                            vela::PromptButtons) override {
        ++shown;
        return vela::PromptAnswer::Ok;
    }
    int shown = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static CountingPrompt prompt;
    vela::Prompt::Install(&prompt);
    prompt.shown = 0;

    std::array<vela::LutTable, 3> tables{};
    for (auto& t : tables) t.fill(77);
    const vela::LutTableRefs refs{&tables[0], &tables[1], &tables[2]};
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int result = vela::ReadGammaData(text, refs);

    if (prompt.shown > 2) std::abort();
    for (const auto& t : tables) {
        for (int v : t) {
            if (v < 0 || v > vela::kLutMaxValue) std::abort();
        }
    }
    if (result == 1) {
        const vela::LutTable first = tables[1];
        tables[1].fill(0);
        if (vela::ReadGammaData(vela::FormatGammaFile(true, refs), refs) != 1 || tables[1] != first) {
            std::abort();
        }
    }
    return 0;
}
