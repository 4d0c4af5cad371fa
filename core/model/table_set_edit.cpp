#include "table_set_edit.h"

#include <algorithm>


namespace kelvo {

void MarkOpened(TableSet& ts, const std::string& path, bool modified) {
    ts.FileName = path;
    ts.FileBaseName = BaseNameOf(path);
    ts.TableSetModified = modified;
    ts.TableSetOpen = true;
    ts.ResultsAvailable = false;
    ts.ResultsCurrent = false;
    ts.Summary.present = false;
    ts.OddsRatios = OddsRatioModel{};
}

void StartNewTableSet(TableSet& ts, const std::string& path) {
    ResetCategoryNames(ts);
    // A new table set starts empty: no cell of the previous one may reach
    // the new file.
    for (PairTable& table : ts.PairTables)
        for (auto& row : table) row.fill(0);
    MarkOpened(ts, path, true);
    ts.VariableCount = 0;
}

int AddVariable(InputSide& ts, std::string_view name, int categories) {
    if (ts.VariableCount >= MaxVariables) return 0;
    const int v = ++ts.VariableCount;
    ChangeVariable(ts, v, name, categories);
    return v;
}

void ChangeVariable(InputSide& ts, int v, std::string_view name, int categories) {
    if (v < 1 || v > std::min(ts.VariableCount, MaxVariables)) return;
    ts.VariableNames[v] = name;
    ts.CategoryCounts[v] = static_cast<std::uint8_t>(std::clamp(categories, 0, MaxCategories));
}

bool DeleteVariable(InputSide& ts, int v) {
    const int count = std::min(ts.VariableCount, MaxVariables);
    if (v < 1 || v > count || count <= 2) return false;
    for (int i = v + 1; i <= count; ++i) {
        ts.VariableNames[i - 1] = ts.VariableNames[i];
        ts.CategoryCounts[i - 1] = ts.CategoryCounts[i];
        for (int j = 1; j <= ts.CategoryCounts[i] && j <= MaxCategories; ++j)
            ts.CategoryNames[i - 1][j] = ts.CategoryNames[i][j];
    }
    --ts.VariableCount;
    return true;
}

}  // namespace kelvo
