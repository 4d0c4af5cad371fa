// Names are single-byte Latin-1 text inside KELVO and in every file it writes;
// the world outside (terminals, JSON, CSV files, the windowing toolkit) speaks
// UTF-8. These are the one conversion between the two.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// The UTF-8 form of Latin-1 text.
std::string Latin1ToUtf8(std::string_view latin1);
// (For names held as ShortString, which convert to std::string.)
inline std::string Latin1ToUtf8(const std::string& latin1) { return Latin1ToUtf8(std::string_view(latin1)); }

// The Latin-1 text that the UTF-8 text `utf8` spells. Nothing when `utf8` is
// not valid UTF-8 or holds a character beyond Latin-1; `refused` then
// receives that character (or 0 for bytes that are not UTF-8).
std::optional<std::string> Utf8ToLatin1(std::string_view utf8, char32_t* refused = nullptr);

// Text of unknown encoding as Latin-1: UTF-8 that spells Latin-1 characters
// is converted, any other bytes are taken as Latin-1 already.
std::string AsLatin1(std::string_view text);

}  // namespace kelvo
