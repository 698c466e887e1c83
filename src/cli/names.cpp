#include "cli/names.h"

#include <algorithm>
#include <vector>

#include "protocol/commandtable.h"

namespace vela::cli {
namespace {

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string SuggestNames(const std::string& upperName) {
    constexpr std::size_t kMaxSuggestions = 6;
    std::vector<std::pair<std::size_t, std::string>> close;
    for (const CommandEntry& e : g_commandTable) {
        const std::string name = e.name;
        const std::size_t d = EditDistance(upperName, name);
        const bool sharesStart = upperName.size() >= 2 && name.rfind(upperName.substr(0, 2), 0) == 0;
        if (d <= 2 || sharesStart) close.emplace_back(sharesStart ? std::min<std::size_t>(d, 1) : d, name);
    }
    std::stable_sort(close.begin(), close.end(),
                     [](const auto& l, const auto& r) { return l.first < r.first; });
    std::string out;
    for (std::size_t i = 0; i < close.size() && i < kMaxSuggestions; ++i) {
        out += (i ? ", " : "") + close[i].second;
    }
    return out;
}

}  // namespace vela::cli
