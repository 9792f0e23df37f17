// The line and number rules every reader is built on. The first input byte
// chooses the rule:
//   lines   any bytes split into lines lose only their line ends, and lines
//           joined and split again come back the same;
//   numbers any text gives a finite leading number, and text the numeric
//           test accepts is read whole, as the C++ stream reads it;
//   decimal a plain decimal of up to 15 significant digits survives a trip
//           through a double;
//   fixed   the fixed formats round half away from zero at their last place.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "common/lines.h"
#include "common/numbers.h"
#include "fuzz_check.h"

using namespace gm::common;

namespace {

void lineRules(std::string_view any)
{
    const std::vector<std::string> split = splitLines(any);
    std::size_t kept = 0;
    for (const std::string& line : split) {
        GM_FUZZ_CHECK(line.find('\r') == std::string::npos, "no line holds a CR");
        kept += line.size();
    }
    std::size_t expected = 0;
    for (std::size_t i = 0; i < any.size(); ++i) {
        expected += any[i] != '\r' && !(any[i] == '\n' && i > 0 && any[i - 1] == '\r') ? 1 : 0;
    }
    GM_FUZZ_CHECK(kept == expected, "only the line ends are lost");
    GM_FUZZ_CHECK(splitLines(joinLines(split)) == split, "split lines join and split to the same lines");
    if (any.find('\r') == std::string_view::npos) {
        GM_FUZZ_CHECK(joinLines(split) == (any.empty() ? std::string() : std::string(any) + "\r\n"),
                      "text without a CR is one line, and joining it adds only the CR LF");
    }
}

// Within four units in the last place, as the test framework compares doubles.
bool nearlyEqual(double a, double b)
{
    if (a == b) {
        return true;
    }
    if (std::signbit(a) != std::signbit(b)) {
        return false;
    }
    const auto ia = std::bit_cast<std::int64_t>(a);
    const auto ib = std::bit_cast<std::int64_t>(b);
    return (ia > ib ? ia - ib : ib - ia) <= 4;
}

void numberRules(FuzzedDataProvider& input)
{
    const std::string any = input.ConsumeRemainingBytesAsString();
    GM_FUZZ_CHECK(std::isfinite(leadingNumber(any)), "the leading number of any text is finite");

    // The same bytes taken as the characters of a number, blanks included.
    static constexpr std::string_view kAlphabet = "0123456789+-.e ";
    std::string text;
    std::string squeezed;
    for (const char c : any.substr(0, 12)) {
        text += kAlphabet[static_cast<unsigned char>(c) % kAlphabet.size()];
        if (text.back() != ' ') {
            squeezed += text.back();
        }
    }
    if (!isNumeric(text)) {
        return;
    }
    std::istringstream in(squeezed);
    in.imbue(std::locale::classic());
    double expected = 0;
    in >> expected;
    if (in && std::isfinite(expected)) {
        GM_FUZZ_CHECK(nearlyEqual(leadingNumber(text), expected), "numeric text is read whole");
    }
}

void plainDecimalRule(FuzzedDataProvider& input)
{
    const int intDigits = input.ConsumeIntegralInRange(0, 9);
    const int fracDigits = input.ConsumeIntegralInRange(0, 6);
    std::string text = input.ConsumeBool() ? "-" : "";
    for (int i = 0; i < intDigits; ++i) {
        text += static_cast<char>('0' + (i == 0 ? input.ConsumeIntegralInRange(1, 9) : input.ConsumeIntegralInRange(0, 9)));
    }
    if (intDigits == 0) {
        text += '0';
    }
    if (fracDigits > 0) {
        text += '.';
        for (int i = 0; i < fracDigits; ++i) {
            const int lowest = i == fracDigits - 1 ? 1 : 0;  // no trailing zero
            text += static_cast<char>('0' + input.ConsumeIntegralInRange(lowest, 9));
        }
    }
    if (text == "-0") {
        text = "0";
    }
    GM_FUZZ_CHECK(plainDecimal(leadingNumber(text)) == text, "a plain decimal reads back as the same text");
}

void fixedRule(FuzzedDataProvider& input)
{
    const int decimals = input.ConsumeIntegralInRange(1, 6);
    const auto n = input.ConsumeIntegralInRange<long long>(0, 999999999);
    // n / 10^d shows as the digits of n; (n + 1/2) / 10^d as those of n + 1.
    const auto render = [decimals](std::string digits) {
        const auto places = static_cast<std::size_t>(decimals);
        if (digits.size() <= places) {
            digits.insert(0, places + 1 - digits.size(), '0');
        }
        std::string integer = digits.substr(0, digits.size() - places);
        integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
        return integer + "." + digits.substr(digits.size() - places);
    };
    const double scale = std::pow(10.0, decimals);
    const double half = (static_cast<double>(n) + 0.5) / scale;
    GM_FUZZ_CHECK(formatFixed(static_cast<double>(n) / scale, 0, decimals) == render(std::to_string(n)),
                  "a value with as many decimals as shown keeps its digits");
    GM_FUZZ_CHECK(formatFixed(half, 0, decimals) == render(std::to_string(n + 1)), "a half rounds up");
    if (n > 0) {
        GM_FUZZ_CHECK(formatFixed(-half, 0, decimals) == "-" + render(std::to_string(n + 1)),
                      "a negative half rounds away from zero");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    FuzzedDataProvider input(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        lineRules(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
        break;
    case 1:
        numberRules(input);
        break;
    case 2:
        plainDecimalRule(input);
        break;
    default:
        fixedRule(input);
    }
    return 0;
}
