// The acceptance of names typed into the editors.
#pragma once

#include <QString>
#include <optional>
#include <string>

namespace kelvo {
struct InputSide;
class WarningSink;
}  // namespace kelvo

namespace kelvo::ui {

// A typed name as stored: its Latin-1 bytes, cut to MaxNameLength. A
// character without a Latin-1 form (named by its code point) or a control
// character (a line end, a tab) is reported through `warnings` and nothing is
// returned, so the caller keeps its window open.
std::optional<std::string> StoredName(const QString& typed, kelvo::WarningSink& warnings);

// Whether `name` (as stored) may become the name of variable `self` (0 for a
// variable not yet added), by the core's name rules; a refusal is reported
// through `warnings`.
bool AcceptVariableName(const kelvo::InputSide& ts, const std::string& name, int self, kelvo::WarningSink& warnings);

}  // namespace kelvo::ui
