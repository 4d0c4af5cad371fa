#include "whole_number.h"

namespace kelvo {

namespace {

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

}  // namespace

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    const std::string_view rest = text.substr(pos);
    if (rest.starts_with("0x") || rest.starts_with("0X")) {
        base = 16;
        pos += 2;
    } else if (rest.starts_with("$") || rest.starts_with("x") || rest.starts_with("X")) {
        base = 16;
        pos += 1;
    }
    if (pos >= text.size()) return std::nullopt;

    // Accumulate in 64 bits and stop as soon as the magnitude leaves the
    // 32-bit range, so that any number of digits is safe.
    constexpr std::int64_t Limit = std::int64_t{1} << 31;  // |INT32_MIN|
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > Limit) return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace kelvo
