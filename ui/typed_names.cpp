#include "typed_names.h"

#include "name_rules.h"
#include "names_and_paths.h"
#include "table_set.h"
#include "warnings.h"

namespace kelvo::ui {

std::optional<std::string> StoredName(const QString& typed, kelvo::WarningSink& warnings) {
    char32_t refused = 0;
    auto bytes = ToName(typed, &refused);
    if (!bytes) {
        warnings.ShowWarning(kelvo::RefusedCharacterWarning(refused));
        return std::nullopt;
    }
    // A pasted text may bring line ends and tabs along.
    if (const auto control = kelvo::FirstControlCharacter(*bytes)) {
        warnings.ShowWarning(kelvo::ControlCharacterWarning(*control));
        return std::nullopt;
    }
    if (bytes->size() > static_cast<std::size_t>(kelvo::MaxNameLength)) bytes->resize(kelvo::MaxNameLength);
    return bytes;
}

bool AcceptVariableName(const kelvo::InputSide& ts, const std::string& name, int self, kelvo::WarningSink& warnings) {
    const kelvo::VariableNameCheck check = kelvo::CheckVariableName(ts, name, self);
    if (!check) warnings.ShowWarning(kelvo::VariableNameWarning(check, name));
    return static_cast<bool>(check);
}

}  // namespace kelvo::ui
