#include "source_columns.h"

#include <algorithm>

#include "import_error.h"

namespace kelvo {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

ChosenColumns ChooseColumns(const std::vector<std::string>& available, const std::vector<std::string>& wanted,
                            const std::string& weight) {
    ChosenColumns chosen;
    if (!weight.empty()) {
        const auto found = std::find(available.begin(), available.end(), weight);
        if (found == available.end()) throw ImportError("No column named " + Quoted(weight) + " for the weights");
        chosen.weight = static_cast<int>(found - available.begin());
    }
    if (wanted.empty()) {
        for (int c = 0; c < static_cast<int>(available.size()); ++c)
            if (c != chosen.weight) chosen.variables.push_back(c);
        return chosen;
    }
    for (const std::string& name : wanted) {
        const auto found = std::find(available.begin(), available.end(), name);
        if (found == available.end()) throw ImportError("No column named " + Quoted(name));
        const int c = static_cast<int>(found - available.begin());
        if (c == chosen.weight) throw ImportError("The weight column " + Quoted(name) + " cannot also be a variable");
        if (std::find(chosen.variables.begin(), chosen.variables.end(), c) != chosen.variables.end())
            throw ImportError("Column " + Quoted(name) + " is chosen twice");
        chosen.variables.push_back(c);
    }
    return chosen;
}

}  // namespace kelvo
