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

std::string RefusedCharacterWarning(char32_t character) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    return std::string("A name cannot hold the character ") + code;
}

}  // namespace kelvo
