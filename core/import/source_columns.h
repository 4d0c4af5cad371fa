// The columns of a source of records: which become the variables and the
// weight, and the blanks that are not part of a value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// The columns of a source that become the variables and the weight.
struct ChosenColumns {
    std::vector<int> variables;  // column numbers from 0, in the variables' order
    int weight = -1;             // -1 for none
};

// Picks the columns named `wanted` (all but the weight when empty) and the
// weight column named `weight` (none when empty) among `available`, by exact
// name. Throws ImportError for a name that is not there or chosen twice.
ChosenColumns ChooseColumns(const std::vector<std::string>& available, const std::vector<std::string>& wanted,
                            const std::string& weight);

// Text with the blanks (spaces, tabs, a carriage return) at both ends removed.
std::string_view TrimBlanks(std::string_view text);

}  // namespace kelvo
