#include "latin1.h"

namespace kelvo {

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return out;
}

std::optional<std::string> Utf8ToLatin1(std::string_view utf8, char32_t* refused) {
    std::string out;
    out.reserve(utf8.size());
    const auto fail = [refused](char32_t character) -> std::optional<std::string> {
        if (refused != nullptr) *refused = character;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = 0;
        char32_t character = 0;
        if (lead < 0x80) {
            length = 1;
            character = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            character = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            character = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            character = lead & 0x07;
        } else {
            return fail(0);
        }
        if (i + static_cast<std::size_t>(length) > utf8.size()) return fail(0);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return fail(0);
            character = (character << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (character < smallest[length] || (character >= 0xD800 && character <= 0xDFFF) || character > 0x10FFFF)
            return fail(0);
        if (character > 0xFF) return fail(character);
        out.push_back(static_cast<char>(character));
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::string AsLatin1(std::string_view text) {
    if (auto latin1 = Utf8ToLatin1(text)) return std::move(*latin1);
    return std::string(text);
}

}  // namespace kelvo
