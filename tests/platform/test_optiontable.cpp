// The options table behind vela-cli's and vela-camsim's parsers and help.
#include "platform/optiontable.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vela {
namespace {

const std::vector<OptionRow> kRows = {
    {"port", 'p', "PORT", "the port"},
    {"trace", 0, nullptr, "log lines"},
    {"model", 0, "NAME", "first line\nsecond line"},
};

struct Parsed {
    bool ok = false;
    std::string error;
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> words;
};

Parsed Parse(std::vector<std::string> args, bool digitsAreWords = false) {
    std::vector<char*> argv{const_cast<char*>("prog")};
    for (std::string& a : args) argv.push_back(a.data());
    Parsed p;
    OptionHandlers h;
    h.option = [&p](const OptionRow& row, const std::string& value, std::string& error) {
        if (value == "bad") {
            error = std::string(row.longName) + " refused";
            return false;
        }
        p.options.emplace_back(row.longName, value);
        return true;
    };
    h.word = [&p](const std::string& w, bool afterDashDash) {
        p.words.push_back((afterDashDash ? "--:" : "") + w);
    };
    if (digitsAreWords) h.unknownIsWord = [](const std::string& a) { return a[1] >= '0' && a[1] <= '9'; };
    p.ok = ParseOptionTable(static_cast<int>(argv.size()), argv.data(), kRows, h, p.error);
    return p;
}

TEST(OptionTable, EverySpellingOfAValueAndWordsInOrder) {
    const Parsed p = Parse({"get", "--port", "COM1", "-pCOM2", "--port=COM3", "-p", "COM4", "--trace", "GA",
                            "-", "--", "--trace", "-p"});
    ASSERT_TRUE(p.ok) << p.error;
    const std::vector<std::pair<std::string, std::string>> options = {
        {"port", "COM1"}, {"port", "COM2"}, {"port", "COM3"}, {"port", "COM4"}, {"trace", ""}};
    EXPECT_EQ(p.options, options);
    EXPECT_EQ(p.words, (std::vector<std::string>{"get", "GA", "-", "--:--trace", "--:-p"}));
}

TEST(OptionTable, UsageErrorsSayWhat) {
    EXPECT_EQ(Parse({"--port"}).error, "--port needs PORT");
    EXPECT_EQ(Parse({"--trace=1"}).error, "--trace takes no value");
    EXPECT_EQ(Parse({"--bogus"}).error, "unknown option '--bogus'");
    EXPECT_EQ(Parse({"-x"}).error, "unknown option '-x'");
    EXPECT_EQ(Parse({"-5"}).error, "unknown option '-5'");
    const Parsed refused = Parse({"--trace", "--model", "bad", "--port", "COM1"});
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, "model refused");
    EXPECT_EQ(refused.options.size(), 1u);  // nothing after the refusal is taken

    const Parsed digits = Parse({"send", "-5"}, true);
    ASSERT_TRUE(digits.ok) << digits.error;
    EXPECT_EQ(digits.words, (std::vector<std::string>{"send", "-5"}));
}

TEST(OptionTable, HelpLinesFromTheSameRows) {
    EXPECT_EQ(FormatOptionTable(kRows, 20),
              "  -p, --port PORT     the port\n"
              "      --trace         log lines\n"
              "      --model NAME    first line\n"
              "                      second line\n");
    // A name longer than the column still leaves a blank before its help.
    EXPECT_EQ(FormatOptionTable({{"a-very-long-option", 0, "VALUE", "h"}}, 10),
              "      --a-very-long-option VALUE h\n");
}

}  // namespace
}  // namespace vela
