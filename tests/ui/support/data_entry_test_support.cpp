#include "data_entry_test_support.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "table_set_edit.h"

namespace kelvo::test {

bool ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void TypeIntoFocus(const QString& text) {
    for (const QChar c : text) {
        QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr) return;
        QTest::keyClick(focus, c.toLatin1());
    }
}

TableSet CreatedTableSet() {
    TableSet ts;
    ResetCategoryNames(ts);
    ts.VariableCount = 0;
    ts.TableSetModified = true;
    ts.TableSetOpen = true;
    return ts;
}

TableSet CreatedTableSet(std::initializer_list<VariableSpec> variables) {
    TableSet ts = CreatedTableSet();
    for (const VariableSpec& variable : variables) {
        const int v = AddVariable(ts, variable.name, static_cast<int>(variable.categories.size()));
        for (std::size_t n = 0; n < variable.categories.size(); ++n) ts.CategoryNames[v][n + 1] = variable.categories[n];
    }
    return ts;
}

std::string DataEntryFields(const TableSet& ts) {
    std::string out = std::to_string(ts.VariableCount) + "\n";
    for (int v = 1; v <= ts.VariableCount; ++v) {
        out += ts.VariableNames[v].str() + "/" + std::to_string(ts.CategoryCounts[v]) + ":";
        for (int n = 1; n <= ts.CategoryCounts[v]; ++n) out += " " + ts.CategoryNames[v][n].str();
        out += "\n";
    }
    for (int i = 2; i <= ts.VariableCount; ++i)
        for (int j = 1; j < i; ++j) {
            out += "table " + std::to_string(PairIndex(i, j)) + ":";
            for (int x = 1; x <= ts.CategoryCounts[i]; ++x)
                for (int y = 1; y <= ts.CategoryCounts[j]; ++y)
                    out += " " + std::to_string(ts.PairTables[PairIndex(i, j)][x][y]);
            out += "\n";
        }
    return out;
}

}  // namespace kelvo::test
