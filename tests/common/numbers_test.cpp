#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "common/numbers.h"

namespace gm::common {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(LeadingNumber, Examples)
{
    // Blanks are skipped wherever they stand ("7\t" is a day followed by the TAB of the line), a
    // comma is no decimal separator, a second point ends the number, an exponent without digits
    // is not part of it and the leading zeros of an exponent do not count.
    const std::pair<std::string, double> cases[] = {
        {"05", 5}, {"1.", 1}, {"7\t", 7}, {" 1 2", 12}, {"1\t0 0", 100}, {"x1", 0}, {"", 0}, {"   ", 0},
        {"-3", -3}, {"- 3", -3}, {"+4", 4}, {"1e3", 1000}, {"2E2", 200}, {"1D2", 100}, {"1 e 2", 100},
        {"1e-2", 0.01}, {".5", 0.5}, {"-.25", -0.25}, {"1.2.3", 1.2}, {"12abc", 12}, {"3,5", 3}, {"0009", 9},
        {".", 0}, {"-", 0}, {"+", 0}, {"--1", 0}, {"1e", 1}, {"1e+", 1}, {"1ex", 1}, {"5e2x", 500},
        {"1e000000002", 100}, {"12\r\n", 12}, {"95 ; comment", 95}, {"AutoAI", 0},
    };
    for (const auto& [chars, value] : cases) {
        EXPECT_DOUBLE_EQ(leadingNumber(chars), value) << testing::PrintToString(chars);
    }
}

TEST(LeadingNumber, HostileInputGivesAFiniteValue)
{
    EXPECT_DOUBLE_EQ(leadingNumber(std::string(5000, '0') + "7"), 7);
    EXPECT_DOUBLE_EQ(leadingNumber("0." + std::string(5000, '0') + "1e5000"), 1e-1);
    for (const std::string& chars : {std::string(400, '9'), std::string("1e99999999999"), std::string("-1e400"),
                                     std::string("1e-400")}) {
        EXPECT_TRUE(std::isfinite(leadingNumber(chars))) << chars;
    }
}

TEST(LeadingNumberText, KeepsTheDigitsAsWritten)
{
    // Exponent forms are given as their value, without an exponent that has no digits.
    const std::pair<const char*, const char*> cases[] = {
        {"05", "5"}, {"7\t", "7"}, {" 1 2", "12"}, {"1.", "1"}, {"1.50", "1.5"}, {".5", "0.5"}, {"-0", "0"},
        {"-.0", "0"}, {"-3.25x", "-3.25"}, {"+8", "8"}, {"x1", "0"}, {"", "0"}, {"000", "0"},
        {"1000000000000000", "1000000000000000"}, {"12345678901234567", "12345678901234567"},
        {"0.12345678901234567890", "0.1234567890123456789"}, {"1e3", "1000"}, {"2.5E+2", "250"}, {"1e", "1"},
    };
    for (const auto& [chars, text] : cases) {
        EXPECT_EQ(leadingNumberText(chars), text) << chars;
        EXPECT_DOUBLE_EQ(leadingNumber(text), leadingNumber(chars)) << chars;  // the number leadingNumber reads
    }
}

TEST(PlainDecimal, Examples)
{
    // 15 significant digits hide the binary error of 0.1 + 0.2.
    const std::pair<double, std::string> cases[] = {
        {5, "5"}, {1.5, "1.5"}, {0, "0"}, {-0.0, "0"}, {-0.25, "-0.25"}, {1000, "1000"}, {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"}, {2.0 / 3.0, "0.666666666666667"}, {123456.789, "123456.789"},
        {0.00001, "0.00001"}, {-7, "-7"}, {kNaN, "0"},
        {999999999.999999, "999999999.999999"}, {-0.0999999999999999, "-0.0999999999999999"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(plainDecimal(value), text) << value;
    }
}

TEST(IsNumeric, Table)
{
    // Too large for a double cannot be converted, so is not numeric; too
    // small to tell from zero is zero, which is numeric.
    const std::pair<std::string, bool> cases[] = {
        {"1", true}, {" 1.5 ", true}, {"\t2\t", true}, {"-2", true}, {"+.5", true}, {".5", true}, {"5.", true},
        {"1e5", true}, {"1E+5", true}, {"1.0E-3", true}, {"2d3", true}, {"007", true}, {"- 2", true},
        {"", false}, {" ", false}, {"\t", false}, {"abc", false}, {"1.2.3", false}, {"1e", false}, {"1e+", false},
        {"e5", false}, {".", false}, {"-", false}, {"+", false}, {"--1", false}, {"+-1", false}, {"1,5", false},
        {"1 2", false}, {"1-", false}, {"12a", false}, {"0x10", false}, {"1e5.5", false}, {"1\r\n", false},
        {std::string("1\0", 2), false}, {"1e400", false}, {"-1.8E308", false}, {"1D999", false},
        {"1.7E308", true}, {"1e-400", true}, {"0e999", true}, {"0.0001e-320", true},
    };
    for (const auto& [text, numeric] : cases) {
        EXPECT_EQ(isNumeric(text), numeric) << testing::PrintToString(text);
    }
}

TEST(FormatFixed, ShownFormats)
{
    // No sign on a value shown as zero; half away from zero.
    const std::pair<std::string, const char*> cases[] = {
        {format000(61.2346), "61.235"}, {format000(0.5), ".500"}, {format000(0), ".000"}, {format000(-0.0), ".000"},
        {format000(1), "1.000"}, {format000(0.9995), "1.000"}, {format000(0.0005), ".001"},
        {format000(1.0005), "1.001"}, {format000(0.0004), ".000"}, {format000(-0.0004), ".000"},
        {format000(-0.5), "-.500"}, {format000(-0.0005), "-.001"},
        {format000000(95), "95.000000"}, {format000000(110), "110.000000"}, {format000000(0.25), ".250000"},
        {format000000(95.0000005), "95.000001"}, {format000000(88.3333333333), "88.333333"},
        {format00_0000(95.5), "95.5000"}, {format00_0000(5.25), "05.2500"}, {format00_0000(0), "00.0000"},
        {format00_0000(100), "100.0000"}, {format00_0000(99.99995), "100.0000"}, {format00_0000(9.99996), "10.0000"},
        {format00_0000(91.66666666), "91.6667"},
        {formatFixed(1.234, 2, 4), "01.2340"}, {formatFixed(2.5, 1, 0), "3"}, {formatFixed(-2.5, 1, 0), "-3"},
        {formatFixed(7, 3, 1), "007.0"}, {formatFixed(kNaN, 0, 3), ".000"},
        {format000(1e20), "100000000000000000000.000"}, {format000(-1e20), "-100000000000000000000.000"},
        {format000(9007199254740993.0), "9007199254740992.000"},
    };
    for (const auto& [shown, expected] : cases) {
        EXPECT_EQ(shown, expected);
    }
    // Huge values stay digits.
    for (const double v : {1e300, 1e306, 1.7e308, -1.7e308}) {
        for (const std::string& text : {format000(v), format000000(v), format00_0000(v)}) {
            ASSERT_GT(text.size(), 300u) << v;
            ASSERT_EQ(text.find_first_not_of("-0123456789."), std::string::npos) << text.substr(0, 20);
        }
    }
}

TEST(Numbers, IgnoreTheUserLocale)
{
    // The application adopts the user's locale at start; the game's files
    // use a point whatever that locale says.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char* name = nullptr;
    for (const char* candidate : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8",
                                  "ru_RU.UTF-8", "de_DE@euro"}) {
        if (name == nullptr && std::setlocale(LC_NUMERIC, candidate) != nullptr) {
            name = candidate;
        }
    }
    if (name == nullptr) {
        std::setlocale(LC_NUMERIC, saved.c_str());
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    EXPECT_DOUBLE_EQ(leadingNumber("1.5"), 1.5) << name;
    EXPECT_DOUBLE_EQ(leadingNumber("1,5"), 1) << name;
    EXPECT_EQ(plainDecimal(-0.25), "-0.25") << name;
    EXPECT_EQ(format000(61.2346), "61.235") << name;
    EXPECT_TRUE(isNumeric("1.5")) << name;
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace gm::common
