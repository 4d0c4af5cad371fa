#include "number_format.h"

#include <charconv>
#include <cmath>

namespace kelvo {

namespace {

// A whole number below 10^15 is exact in a double and has at most 15 digits,
// so its 18-digit decimal expansion is the number itself and no rounding can
// happen: its text is its digits followed by zero decimals. Counts and sums of
// counts, which fill most matrices, take this quick way. Returns false, having
// appended nothing, for any other value.
bool AppendWholeNumber(std::string& out, double value, int decimals, int width) {
    if (!(std::fabs(value) < 1e15) || value != std::trunc(value) || decimals < 0 || decimals > 20) return false;
    char text[48];
    // A negative zero is not negative: it gives "0", as in FormatFixed.
    char* end = std::to_chars(text, text + 24, static_cast<long long>(value)).ptr;
    if (decimals > 0) {
        *end++ = '.';
        for (int i = 0; i < decimals; ++i) *end++ = '0';
    }
    const auto length = static_cast<int>(end - text);
    if (length < width) out.append(static_cast<std::size_t>(width - length), ' ');
    out.append(text, end);
    return true;
}

}  // namespace

void AppendFixed(std::string& out, double value, int decimals, int width) {
    if (!AppendWholeNumber(out, value, decimals, width)) out += FormatFixed(value, decimals, width);
}

std::string PadLeft(std::string text, int width) {
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string FormatInteger(std::int64_t value, int width) { return PadLeft(std::to_string(value), width); }

std::string FormatFixed(double value, int decimals, int width) {
    if (std::isnan(value)) return PadLeft("Nan", width);
    if (std::isinf(value)) return PadLeft(value > 0 ? "+Inf" : "-Inf", width);
    if (std::string whole; AppendWholeNumber(whole, value, decimals, width)) return whole;

    const bool negative = value < 0;
    // The decimal expansion to 18 significant digits: one digit, the point,
    // 17 digits and the exponent ("1.49999999999999994e-01").
    // std::to_chars rounds the exact binary value correctly, as printf's
    // "%.17e" does, at a fraction of the cost.
    char expansion[40];
    const char* const end =
        std::to_chars(expansion, expansion + sizeof expansion, std::fabs(value), std::chars_format::scientific, 17).ptr;
    std::string digits;  // the 18 significant digits
    digits.reserve(18);
    const char* p = expansion;
    for (; *p != 'e'; ++p)
        if (*p != '.') digits.push_back(*p);
    int exponent = 0;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);

    // digits[i] has the weight 10^(exponent - i). Keep those down to
    // 10^-decimals; the first dropped digit decides the rounding.
    const int kept = exponent + 1 + decimals;  // number of significant digits kept
    std::string whole;                         // kept digits, as an integer count of 10^-decimals
    bool round_up = false;
    if (kept <= 0) {
        whole = "0";
        round_up = kept == 0 && digits[0] >= '5';
    } else if (kept >= static_cast<int>(digits.size())) {
        whole = digits + std::string(static_cast<std::size_t>(kept) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<std::size_t>(kept));
        round_up = digits[static_cast<std::size_t>(kept)] >= '5';
    }
    if (round_up) {
        int i = static_cast<int>(whole.size()) - 1;
        for (; i >= 0 && whole[static_cast<std::size_t>(i)] == '9'; --i) whole[static_cast<std::size_t>(i)] = '0';
        if (i < 0) whole.insert(0, "1");
        else ++whole[static_cast<std::size_t>(i)];
    }
    // Place the decimal point.
    if (static_cast<int>(whole.size()) <= decimals)
        whole.insert(0, static_cast<std::size_t>(decimals + 1) - whole.size(), '0');
    std::string text = whole;
    if (decimals > 0) text.insert(text.size() - static_cast<std::size_t>(decimals), ".");
    // Strip leading zeros of the integer part, keeping one.
    std::size_t first = 0;
    const std::size_t point = decimals > 0 ? text.size() - static_cast<std::size_t>(decimals) - 1 : text.size();
    while (first + 1 < point && text[first] == '0') ++first;
    text.erase(0, first);
    if (negative) text.insert(0, "-");
    return PadLeft(std::move(text), width);
}

}  // namespace kelvo
