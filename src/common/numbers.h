// Number rules shared by the tools.
#pragma once

#include <string>
#include <string_view>

namespace gm::common {

// The number that some characters begin with: the value of the longest
// leading part that forms a decimal number (sign, digits, one decimal point,
// an exponent with E or D), blanks and TABs skipped wherever they stand;
// 0 when the characters begin with no number. "7\t" gives 7, "05" gives 5,
// "1." gives 1, " 1 2" gives 12, "x1" gives 0.
double leadingNumber(std::string_view chars);

// The same number as plain decimal text, its digits kept as they stand (no
// trip through a double, so 12345678901234567 stays whole and
// 1000000000000000 does not turn into 1e+15): leading zeros and blanks,
// trailing zeros after the point, and a point without digits after it are
// dropped. A number written with an exponent comes back as plainDecimal of
// its value. "05" gives "5", "1.50" gives "1.5", "x" gives "0".
std::string leadingNumberText(std::string_view chars);

// A number as plain decimal text: no leading zeros or blanks, no exponent
// for ordinary magnitudes, no trailing zeros after the decimal point, at
// most 15 significant digits. 5 gives "5", 1.5 gives "1.5", -0.25 gives "-0.25".
std::string plainDecimal(double value);

// The numeric test used for typed values: optional blanks and TABs around
// an optional sign, digits with at most one decimal point (at least one
// digit), and an optional exponent (E or D, optional sign, digits).
// Empty text, or blanks alone, is not numeric.
bool isNumeric(std::string_view text);

// Fixed-point text with `decimals` digits after the point and at least
// `minIntegerDigits` before it (0 allows ".500"), rounded half away from
// zero. formatFixed(0.5, 0, 3) == ".500"; formatFixed(1.234, 2, 4) == "01.2340".
std::string formatFixed(double value, int minIntegerDigits, int decimals);

// The three patterns the tools show numbers in.
inline std::string format000(double v) { return formatFixed(v, 0, 3); }        // ".000"
inline std::string format000000(double v) { return formatFixed(v, 0, 6); }     // ".000000"
inline std::string format00_0000(double v) { return formatFixed(v, 2, 4); }    // "00.0000"

}  // namespace gm::common
