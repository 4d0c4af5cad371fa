// Every number text of KELVO is made here, so that reports, windows and the
// estimation log agree to the last character.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kelvo {

// `value` in fixed-point notation with `decimals` decimals, right-aligned with
// spaces in at least `width` characters (a longer text keeps every character).
// Rounding works on the value's decimal expansion to 18 significant digits,
// with an exact half rounded away from zero (6.25 -> 6.3, -6.25 -> -6.3, and
// 0.15, stored just below 0.15, -> 0.1). Every negative value keeps its minus
// sign, also when it rounds to zero (-0.0004 -> -0.0).
std::string FormatFixed(double value, int decimals, int width);

// Appends FormatFixed(value, decimals, width) to `out`.
void AppendFixed(std::string& out, double value, int decimals, int width);

// Appends FormatFixed(value, decimals, width) of every value, one after the
// other (for long lines of numbers, such as the rows of a matrix).
void AppendFixedRow(std::string& out, std::span<const double> values, int decimals, int width);

// A p-value: fixed point with four decimals, or "< 0.0001" for a value
// below 0.0001, which four decimals would show as 0.0000 (or round up to
// 0.0001) although it may be far smaller.
inline constexpr double SmallestShownPValue = 0.0001;
void AppendPValue(std::string& out, double value);

// A whole number in decimal, right-aligned with spaces in at least `width`.
std::string FormatInteger(std::int64_t value, int width);

// Pads `text` on the left with spaces to at least `width` characters.
std::string PadLeft(std::string text, int width);

}  // namespace kelvo
