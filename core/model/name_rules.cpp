#include "name_rules.h"

#include <cstdio>

namespace kelvo {

VariableNameCheck CheckVariableName(const InputSide& ts, std::string_view name, int self) {
    if (name.find('*') != std::string_view::npos) return {VariableNameCheck::ContainsStar, 0};
    for (int v = 1; v <= ts.VariableCount && v <= MaxVariables; ++v)
        if (v != self && ts.VariableNames[v] == name) return {VariableNameCheck::Taken, v};
    return {};
}

std::string VariableNameWarning(const VariableNameCheck& check, std::string_view name) {
    switch (check.problem) {
        case VariableNameCheck::ContainsStar:
            return "A variable name cannot contain \"*\"";
        case VariableNameCheck::Taken:
            return "Variable " + std::to_string(check.other) + " is already named " + std::string(name);
        case VariableNameCheck::Ok:
            break;
    }
    return {};
}

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

std::string CodePoint(unsigned value) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", value);
    return code;
}

}  // namespace

std::optional<char> FirstControlCharacter(std::string_view text) {
    for (const char c : text)
        if (IsControl(static_cast<unsigned char>(c))) return c;
    return std::nullopt;
}

std::string ControlCharacterName(char c) {
    switch (c) {
        case '\n':
        case '\r':
            return "a line end";
        case '\t':
            return "a tab";
        case '\0':
            return "a NUL character";
        default:
            return "the control character " + CodePoint(static_cast<unsigned char>(c));
    }
}

std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (!IsControl(byte)) {
            out += c;
            continue;
        }
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\0': out += "\\0"; break;
            default: {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02X", byte);
                out += escape;
            }
        }
    }
    return out;
}

std::string RefusedCharacterWarning(char32_t character) {
    return "A name cannot hold the character " + CodePoint(static_cast<unsigned>(character));
}

std::string ControlCharacterWarning(char c) { return "A name cannot hold " + ControlCharacterName(c); }

}  // namespace kelvo
