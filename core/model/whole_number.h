// The whole numbers that a user may type into a table cell.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvo {

// The value of `text` when it is a whole number: optional leading spaces, an
// optional "+" or "-", then either decimal digits or hexadecimal digits after
// one of the prefixes "$", "x", "X", "0x", "0X", with nothing after the
// digits; the value, sign included, must fit in a signed 32-bit integer.
// Anything else (empty text, only spaces, a lone sign, a trailing space, a
// letter, an out-of-range number) gives nothing.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

}  // namespace kelvo
