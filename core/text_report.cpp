#include "text_report.h"

#include <array>
#include <cstdint>

#include "number_format.h"
#include "version.h"

namespace kelvo {

namespace {

// Names in table columns and row labels show at most this many characters.
constexpr std::size_t NameCut = 10;
constexpr int LabelWidth = 10;   // the first column: row labels
constexpr int ColumnWidth = 12;  // every other column

void AppendAligned(std::string& line, std::string_view text, int width, bool right) {
    text = text.substr(0, NameCut);
    const std::size_t pad = static_cast<int>(text.size()) < width ? static_cast<std::size_t>(width) - text.size() : 0;
    if (right) line.append(pad, ' ');
    line.append(text);
    if (!right) line.append(pad, ' ');
}

void AppendLabel(std::string& line, std::string_view name) { AppendAligned(line, name, LabelWidth, false); }
void AppendHeading(std::string& line, std::string_view name) { AppendAligned(line, name, ColumnWidth, true); }

// A number field is right-aligned in the 12-character column but, unlike a
// name, never cut: a number shown by its first 10 characters would be a
// different number. A longer number makes its line longer instead.
void AppendNumber(std::string& line, const std::string& text) {
    if (static_cast<int>(text.size()) < ColumnWidth) line.append(ColumnWidth - text.size(), ' ');
    line.append(text);
}
void AppendCount(std::string& line, std::int64_t count) { AppendNumber(line, FormatInteger(count, 10)); }
void AppendPercent(std::string& line, double value) { AppendNumber(line, FormatPercent(value)); }

int TableWidth(int columns) { return ColumnWidth * columns + 22; }

enum class ValueKind { Coefficients, StandardErrors };

// The coefficient and standard-error sections: one table per predictor, its
// first value column the average (parameter 1), then the predictor's own
// categories (parameters base + 1 .. base + K).
void WritePredictorTables(const TableSet& ts, OutputFile& file, ValueKind kind) {
    const int dependent = ts.DependentVariable;
    const int rows = ts.CategoryCounts[dependent];
    const auto value = [&ts, kind](int parameter, int category) {
        return kind == ValueKind::Coefficients ? 100.0 * ts.Coefficients[parameter][category]
                                               : ts.StandardErrors[parameter][category];
    };
    std::string line;
    int base = 1;
    for (int p = 1; p <= ts.PredictorCount; ++p) {
        const int v = ts.PredictorList[p];
        const int columns = ts.CategoryCounts[v];
        const int width = TableWidth(columns);
        file.WriteLine((kind == ValueKind::Coefficients ? "Coeficients for variable: " : "Standard errors for variable: ") +
                       ts.VariableNames[v]);
        WriteDashes(file, width);
        line.clear();
        AppendLabel(line, ts.VariableNames[dependent].str());
        AppendHeading(line, "Average");
        for (int c = 1; c <= columns; ++c) AppendHeading(line, ts.CategoryNames[v][c].str());
        file.WriteLine(line);
        WriteDashes(file, width);
        for (int r = 1; r <= rows; ++r) {
            line.clear();
            AppendLabel(line, ts.CategoryNames[dependent][r].str());
            AppendPercent(line, value(1, r));
            for (int c = 1; c <= columns; ++c) AppendPercent(line, value(base + c, r));
            file.WriteLine(line);
        }
        WriteDashes(file, width);
        file.WriteLine();
        base += columns;
    }
}

}  // namespace

std::string AlignRight(std::string_view text, int width) {
    std::string out;
    AppendAligned(out, text, width, true);
    return out;
}

std::string AlignLeft(std::string_view text, int width) {
    std::string out;
    AppendAligned(out, text, width, false);
    return out;
}

void WriteDashes(OutputFile& file, int n) {
    file.WriteLine(n > 0 ? std::string(static_cast<std::size_t>(n), '-') : std::string());
}

void WriteTextHeader(const TableSet& ts, OutputFile& file) {
    std::string predictors = "Predictor variables: ";
    for (int p = 1; p <= ts.PredictorCount; ++p) {
        if (p > 1) predictors += ", ";
        predictors += ts.VariableNames[ts.PredictorList[p]].str();
    }
    const int width = static_cast<int>(predictors.size());
    file.WriteLine(std::string("KELVO - Quendar - Version ") + KelvoVersion);
    file.WriteLine();
    file.WriteLine("Model:");
    WriteDashes(file, width);
    file.WriteLine("Indepedent variable: " + ts.VariableNames[ts.DependentVariable]);
    file.WriteLine(predictors);
    WriteDashes(file, width);
    file.WriteLine();
}

void WriteTextTables(const TableSet& ts, OutputFile& file) {
    std::string line;
    for (int i = 2; i <= ts.VariableCount; ++i) {
        for (int j = 1; j < i; ++j) {
            const PairTable& table = ts.PairTables[PairIndex(i, j)];
            const int rows = ts.CategoryCounts[i];
            const int columns = ts.CategoryCounts[j];
            const int width = TableWidth(columns);
            // Totals in 64 bits: 256 cells of 32 bits each can exceed any
            // 32-bit total, and a wrapped total would print a wrong number.
            std::array<std::int64_t, MaxCategories + 1> columnTotals{};
            std::int64_t grandTotal = 0;

            file.WriteLine("Table: " + ts.VariableNames[i] + " by " + ts.VariableNames[j]);
            WriteDashes(file, width);
            line.assign(LabelWidth, ' ');
            for (int c = 1; c <= columns; ++c) AppendHeading(line, ts.CategoryNames[j][c].str());
            AppendHeading(line, "Total");
            file.WriteLine(line);
            WriteDashes(file, width);
            for (int r = 1; r <= rows; ++r) {
                line.clear();
                AppendLabel(line, ts.CategoryNames[i][r].str());
                std::int64_t rowTotal = 0;
                for (int c = 1; c <= columns; ++c) {
                    const std::int32_t cell = table[r][c];
                    AppendCount(line, cell);
                    rowTotal += cell;
                    columnTotals[c] += cell;
                    grandTotal += cell;
                }
                AppendCount(line, rowTotal);
                file.WriteLine(line);
            }
            WriteDashes(file, width);
            line.clear();
            AppendLabel(line, "Total");
            for (int c = 1; c <= columns; ++c) AppendCount(line, columnTotals[c]);
            AppendCount(line, grandTotal);
            file.WriteLine(line);
            WriteDashes(file, width);
            file.WriteLine();
        }
    }
}

void WriteTextCoefficients(const TableSet& ts, OutputFile& file) {
    WritePredictorTables(ts, file, ValueKind::Coefficients);
}

void WriteTextStandardErrors(const TableSet& ts, OutputFile& file) {
    WritePredictorTables(ts, file, ValueKind::StandardErrors);
}

}  // namespace kelvo
