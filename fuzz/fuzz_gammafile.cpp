// The gamma file reader: any bytes must read without harm, every stored value must lie
// in 0 .. 4095, at most one value message and one format message may come back (and no
// box show), and a table that was read whole must survive a write and a second read
// unchanged.
#include <array>
#include <cstdint>
#include <cstdio>
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

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_gammafile: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static CountingPrompt prompt;
    vela::Prompt::Install(&prompt);
    prompt.shown = 0;

    std::array<vela::LutTable, 3> tables{};
    for (auto& t : tables) t.fill(77);
    const vela::LutTableRefs refs{&tables[0], &tables[1], &tables[2]};
    const std::string text(reinterpret_cast<const char*>(data), size);
    const vela::ActionReport report = vela::ReadGammaData(text, refs);

    if (prompt.shown != 0) Fail("the reader showed a box instead of returning its messages");
    if (report.messages.size() > 2) Fail("more than two messages");
    for (const auto& t : tables) {
        for (int v : t) {
            if (v < 0 || v > vela::kLutMaxValue) Fail("a value outside 0 .. 4095");
        }
    }
    if (report.Ok()) {
        // Written before the table is cleared, so the second read has something to restore.
        const vela::LutTable first = tables[1];
        const std::string written = vela::FormatGammaFile(true, refs);
        tables[1].fill(0);
        if (!vela::ReadGammaData(written, refs).Ok() || tables[1] != first) {
            Fail("a table read whole did not survive a write and a second read");
        }
    }
    return 0;
}
