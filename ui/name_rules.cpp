#include "name_rules.h"

#include <QList>
#include <cstdio>

namespace kelvo::ui {

std::string RefusedCharacterWarning(char32_t character) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    return std::string("A name cannot hold the character ") + code + " (only Latin-1 characters can be stored)";
}

std::optional<std::string> StoredName(const QString& typed, WarningSink& warnings) {
    std::string bytes;
    for (const char32_t c : typed.toUcs4()) {
        if (c > 0xFF) {
            warnings.ShowWarning(RefusedCharacterWarning(c));
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(c));
    }
    if (bytes.size() > static_cast<std::size_t>(MaxNameLength)) bytes.resize(MaxNameLength);
    return bytes;
}

bool AcceptVariableName(const TableSet& ts, const std::string& name, int self, WarningSink& warnings) {
    if (name.find('*') != std::string::npos) {
        warnings.ShowWarning("A variable name cannot contain \"*\": it separates the two names of a table in the file");
        return false;
    }
    for (int v = 1; v <= ts.VariableCount && v <= MaxVariables; ++v) {
        if (v != self && ts.VariableNames[v] == name) {
            warnings.ShowWarning("Variable " + std::to_string(v) + " is already named " + name +
                                 ": two variables cannot share a name");
            return false;
        }
    }
    return true;
}

}  // namespace kelvo::ui
