// The command-line parser of vela-cli and vela-camsim: any words (split at NUL bytes) must
// parse or be refused with a message, every option handed on must be a row of the table,
// a flag never carries a value, and no word is taken twice.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/optiontable.h"

namespace {

const std::vector<vela::OptionRow> kRows = {
    {"port", 'p', "PORT", "port"}, {"baud", 'b', "RATE", "rate"}, {"quiet", 'q', nullptr, "flag"},
    {"json", 0, nullptr, "flag"},  {"fail", 0, "NAME", "mode"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::vector<std::string> words{"prog"};
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    words.push_back(current);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());

    std::size_t taken = 0;
    vela::OptionHandlers handlers;
    handlers.option = [&](const vela::OptionRow& row, const std::string& value, std::string&) {
        if (&row < kRows.data() || &row >= kRows.data() + kRows.size()) std::abort();
        if (!row.argument && !value.empty()) std::abort();
        ++taken;
        return true;
    };
    handlers.word = [&](const std::string&, bool) { ++taken; };
    std::string error;
    const bool ok =
        vela::ParseOptionTable(static_cast<int>(argv.size()), argv.data(), kRows, handlers, error);
    if (ok != error.empty()) std::abort();
    if (taken > words.size() - 1) std::abort();
    if (vela::FormatOptionTable(kRows).empty()) std::abort();
    return 0;
}
