// Names as a table set holds them: short strings of single-byte characters.
#pragma once

#include <string>
#include <string_view>

#include "table_limits.h"

namespace kelvo {

// A name of at most MaxNameLength single-byte characters. Assigning longer
// text keeps its first MaxNameLength characters; spaces are ordinary
// characters and are never trimmed.
class ShortString {
public:
    ShortString() = default;
    ShortString(std::string_view text) { assign(text); }  // NOLINT: implicit by design
    ShortString(const char* text) { assign(text); }       // NOLINT
    ShortString& operator=(std::string_view text) { assign(text); return *this; }
    ShortString& operator=(const char* text) { assign(text); return *this; }
    ShortString& operator=(const std::string& text) { assign(text); return *this; }

    const std::string& str() const { return m_text; }
    operator const std::string&() const { return m_text; }  // NOLINT
    bool empty() const { return m_text.empty(); }
    std::size_t size() const { return m_text.size(); }
    friend bool operator==(const ShortString& a, const ShortString& b) = default;
    friend bool operator==(const ShortString& a, std::string_view b) { return a.m_text == b; }

private:
    void assign(std::string_view text) { m_text.assign(text.substr(0, MaxNameLength)); }
    std::string m_text;
};

inline std::string operator+(const std::string& a, const ShortString& b) { return a + b.str(); }
inline std::string operator+(const char* a, const ShortString& b) { return a + b.str(); }

}  // namespace kelvo
