#include "common/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

namespace gm::common {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

namespace {

// The parts of the number that some characters begin with, blanks and TABs
// skipped wherever they stand.
struct ScannedNumber {
    bool negative = false;
    std::string integer;   // digits before the point, as written
    std::string fraction;  // digits after it
    bool point = false;
    std::string exponent;  // "e", a sign and digits; empty without one
    bool hasDigits() const { return !integer.empty() || !fraction.empty(); }
};

ScannedNumber scanNumber(std::string_view chars)
{
    ScannedNumber number;
    std::size_t i = 0;
    auto skip = [&] {
        while (i < chars.size() && isBlank(chars[i])) {
            ++i;
        }
    };
    skip();
    if (i < chars.size() && (chars[i] == '+' || chars[i] == '-')) {
        number.negative = chars[i] == '-';
        ++i;
        skip();
    }
    while (i < chars.size()) {
        const char c = chars[i];
        if (isDigit(c)) {
            (number.point ? number.fraction : number.integer) += c;
        } else if (c == '.' && !number.point) {
            number.point = true;
        } else if (!isBlank(c)) {
            break;
        }
        ++i;
    }
    if (!number.hasDigits()) {
        return number;
    }
    // Exponent: only when at least one digit follows it.
    if (i < chars.size() && (chars[i] == 'e' || chars[i] == 'E' || chars[i] == 'd' || chars[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        while (j < chars.size() && isBlank(chars[j])) {
            ++j;
        }
        if (j < chars.size() && (chars[j] == '+' || chars[j] == '-')) {
            exponent += chars[j++];
        }
        bool expDigits = false;
        std::size_t significant = 0;
        while (j < chars.size() && (isDigit(chars[j]) || isBlank(chars[j]))) {
            if (isDigit(chars[j])) {
                expDigits = true;
                // Leading zeros say nothing; past eight digits the exponent
                // is far outside any double's range already.
                if ((chars[j] != '0' || significant > 0) && significant < 8) {
                    exponent += chars[j];
                    ++significant;
                }
            }
            ++j;
        }
        if (expDigits && significant == 0) {
            exponent += '0';
        }
        if (expDigits) {
            number.exponent = exponent;
        }
    }
    return number;
}

}  // namespace

double leadingNumber(std::string_view chars)
{
    const ScannedNumber scanned = scanNumber(chars);
    if (!scanned.hasDigits()) {
        return 0.0;
    }
    std::string number = scanned.negative ? "-" : "";
    number += scanned.integer;
    if (scanned.point) {
        number += '.';
        number += scanned.fraction;
    }
    number += scanned.exponent;
    // from_chars, unlike strtod, ignores the user's locale: the point is
    // the decimal separator whatever the system says. Out of range gives 0.
    double value = 0.0;
    const std::from_chars_result parsed = std::from_chars(number.data(), number.data() + number.size(), value);
    if (parsed.ec != std::errc{} || !std::isfinite(value)) {
        return 0.0;
    }
    return value;
}

std::string leadingNumberText(std::string_view chars)
{
    const ScannedNumber scanned = scanNumber(chars);
    if (!scanned.hasDigits()) {
        return "0";
    }
    if (!scanned.exponent.empty()) {
        return plainDecimal(leadingNumber(chars));  // read in exponent form
    }
    // The digits as written, less leading zeros before the point and
    // trailing zeros after it: no digit goes through a double.
    std::string integer = scanned.integer.substr(std::min(scanned.integer.find_first_not_of('0'), scanned.integer.size()));
    // (npos + 1 is 0: a fraction of zeros only goes.)
    const std::string fraction = scanned.fraction.substr(0, scanned.fraction.find_last_not_of('0') + 1);
    if (integer.empty()) {
        integer = "0";
    }
    if (integer == "0" && fraction.empty()) {
        return "0";
    }
    std::string text = scanned.negative ? "-" : "";
    text += integer;
    if (!fraction.empty()) {
        text += '.';
        text += fraction;
    }
    return text;
}

std::string plainDecimal(double value)
{
    if (!std::isfinite(value)) {
        return "0";
    }
    if (value == 0.0) {
        return "0";  // also for -0
    }
    char buffer[64];
    const double magnitude = std::fabs(value);
    // to_chars rather than printf: always a point, whatever the user's locale.
    if (magnitude >= 1e15 || magnitude < 1e-15) {
        const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
        return std::string(buffer, r.ptr);
    }
    // Enough decimals for 15 significant digits, then trailing zeros dropped.
    // The place of the first digit comes from the value rounded to those 15
    // digits (log10 rounds 999999999.999999 up to 9 and would cost a digit).
    char scientific[64];
    const std::to_chars_result s =
        std::to_chars(scientific, scientific + sizeof scientific, magnitude, std::chars_format::scientific, 14);
    const char* exponentText = std::find(scientific, s.ptr, 'e') + 1;
    exponentText += exponentText < s.ptr && *exponentText == '+' ? 1 : 0;
    int exponent = 0;
    std::from_chars(exponentText, s.ptr, exponent);
    const int decimals = std::clamp(14 - exponent, 0, 30);
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, r.ptr);
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') {
            text.pop_back();
        }
        if (!text.empty() && text.back() == '.') {
            text.pop_back();
        }
    }
    if (text == "-0") {
        return "0";
    }
    return text;
}

bool isNumeric(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        ++i;
        while (i < n && isBlank(text[i])) {
            ++i;
        }
    }
    bool digits = false;
    while (i < n && isDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits) {
        return false;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        bool expDigits = false;
        while (i < n && isDigit(text[i])) {
            ++i;
            expDigits = true;
        }
        if (!expDigits) {
            return false;
        }
    }
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    if (i != n) {
        return false;
    }
    // A number too large for a double ("1e400") cannot be converted, so it
    // is not numeric; one too small to tell from zero ("1e-400") is 0.
    std::string plain;
    for (const char c : text) {
        if (!isBlank(c)) {
            plain += (c == 'd' || c == 'D') ? 'e' : c;
        }
    }
    const char* first = plain.data() + (!plain.empty() && plain.front() == '+' ? 1 : 0);
    double value = 0.0;
    const std::from_chars_result parsed = std::from_chars(first, plain.data() + plain.size(), value);
    if (parsed.ec == std::errc::result_out_of_range) {
        // Out of range either way: tell overflow from underflow by the
        // decimal exponent of the first significant digit.
        long long exponent = 0;
        const std::size_t e = plain.find('e');
        const std::string mantissa = plain.substr(0, e);
        if (e != std::string::npos) {
            const std::string_view digitsOfExp = std::string_view(plain).substr(e + 1);
            const bool negative = !digitsOfExp.empty() && digitsOfExp.front() == '-';
            for (const char c : digitsOfExp) {
                if (isDigit(c) && exponent < 100000) {
                    exponent = exponent * 10 + (c - '0');
                }
            }
            exponent = negative ? -exponent : exponent;
        }
        const std::size_t point = mantissa.find('.');
        const std::size_t firstDigit = mantissa.find_first_of("123456789");
        const std::size_t dot = point == std::string::npos ? mantissa.size() : point;
        const long long position = firstDigit < dot ? static_cast<long long>(dot - firstDigit)
                                                    : -static_cast<long long>(firstDigit - dot) + 1;
        return position + exponent <= 0;
    }
    return true;
}

std::string formatFixed(double value, int minIntegerDigits, int decimals)
{
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    decimals = std::max(0, std::min(decimals, 15));
    minIntegerDigits = std::max(0, std::min(minIntegerDigits, 30));
    // Round half away from zero on the decimal value the user sees; the
    // tiny nudge keeps 0.0005 (stored as 0.000499999...) rounding up. It is
    // capped so that it never reaches a digit the user can see.
    const double scale = std::pow(10.0, decimals);
    const double magnitude = std::fabs(value);
    const double scaled = magnitude * scale;
    char buffer[400];
    std::string digits;
    if (scaled < 4503599627370496.0) {  // 2^52: below it a fraction is left to round
        const double rounded = std::floor(scaled + 0.5 + std::min(scaled * 1e-15, 1e-6));
        const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 0);
        digits.assign(buffer, r.ptr);
    } else {
        // From 2^52 on the scaled value holds no fraction: print the value
        // itself with its decimals (this also covers a scaling that overflows).
        const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, decimals);
        digits.assign(buffer, r.ptr);
        digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    }
    const bool negative = value < 0.0 && digits.find_first_not_of('0') != std::string::npos;
    if (static_cast<int>(digits.size()) <= decimals) {
        digits.insert(0, static_cast<std::size_t>(decimals + 1) - digits.size(), '0');
    }
    std::string integerPart = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    const std::string fraction = digits.substr(digits.size() - static_cast<std::size_t>(decimals));
    // Leading zeros beyond the minimum integer digits are dropped.
    while (static_cast<int>(integerPart.size()) > minIntegerDigits && !integerPart.empty() && integerPart.front() == '0') {
        integerPart.erase(0, 1);
    }
    while (static_cast<int>(integerPart.size()) < minIntegerDigits) {
        integerPart.insert(0, 1, '0');
    }
    std::string text = negative ? "-" : "";
    text += integerPart;
    if (decimals > 0) {
        text += '.';
        text += fraction;
    }
    return text;
}

}  // namespace gm::common
