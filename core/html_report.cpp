#include "html_report.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "number_format.h"
#include "version.h"
#include "significance.h"

namespace kelvo {

namespace {

// Appends a name with the characters that have a meaning in HTML replaced by
// their entities.
void AppendEscaped(std::string& line, std::string_view name) {
    for (const char c : name) {
        switch (c) {
        case '&': line += "&amp;"; break;
        case '<': line += "&lt;"; break;
        case '>': line += "&gt;"; break;
        case '"': line += "&quot;"; break;
        default: line += c;
        }
    }
}

// "<prefix>NAME<suffix>" with the name escaped.
std::string NameLine(std::string_view prefix, std::string_view name, std::string_view suffix) {
    std::string line(prefix);
    AppendEscaped(line, name);
    line += suffix;
    return line;
}

constexpr std::string_view RowLabelStart = "  <td class=\"kop\">";
constexpr std::string_view ColumnHeadingStart = "<td class=\"kop\" width=60 align=right>";
constexpr std::string_view ValueStart = "  <td class=\"cel\" align=right>";
constexpr std::string_view SignificantStart = "  <td class=\"kop\" align=right>";
constexpr std::string_view CellEnd = "</td>";

void WriteCell(OutputFile& file, std::string_view start, const std::string& number) {
    file.Write(start);
    file.Write(number);
    file.WriteLine(CellEnd);
}

enum class ValueKind { Coefficients, StandardErrors, Enhanced };

// The three per-predictor sections: one table per predictor with the average
// (parameter 1) and the predictor's categories (parameters base + 1 .. base +
// K) for every category of the dependent variable, then one "<hr>".
void WritePredictorTables(const TableSet& ts, OutputFile& file, ValueKind kind) {
    const int dependent = ts.DependentVariable;
    const int rows = ts.CategoryCounts[dependent];
    std::string_view heading = "<h2>Coeficients for variable: ";
    std::string_view closing = "<p>";
    if (kind == ValueKind::StandardErrors) {
        heading = "<h2>Standard errors for variable: ";
        closing = "<p></p>";
    } else if (kind == ValueKind::Enhanced) {
        heading = "<h2>Coefficients for variable: ";
        closing = "<i>Bold values are significant</i><p>";
    }
    const auto writeValue = [&](int parameter, int category) {
        if (kind == ValueKind::StandardErrors) {
            WriteCell(file, ValueStart, FormatPercent(ts.StandardErrors[parameter][category]));
            return;
        }
        const double coefficient = ts.Coefficients[parameter][category];
        const bool bold = kind == ValueKind::Enhanced &&
                          IsSignificant(coefficient, ts.StandardErrors[parameter][category]);
        WriteCell(file, bold ? SignificantStart : ValueStart, FormatPercent(100.0 * coefficient));
    };

    int base = 1;
    for (int p = 1; p <= ts.PredictorCount; ++p) {
        const int v = ts.PredictorList[p];
        const int columns = ts.CategoryCounts[v];
        file.WriteLine(NameLine(heading, ts.VariableNames[v].str(), "</h2>"));
        file.WriteLine("<table>");
        file.WriteLine("<tr>");
        file.WriteLine(NameLine("  <td class=\"kop\" width=60>", ts.VariableNames[dependent].str(), CellEnd));
        file.WriteLine("  <td class=\"kop\" align=right width=60>Average</td>");
        for (int c = 1; c <= columns; ++c) file.WriteLine(NameLine(ColumnHeadingStart, ts.CategoryNames[v][c].str(), CellEnd));
        file.WriteLine("</tr>");
        for (int r = 1; r <= rows; ++r) {
            file.WriteLine("<tr>");
            file.WriteLine(NameLine(RowLabelStart, ts.CategoryNames[dependent][r].str(), CellEnd));
            writeValue(1, r);
            for (int c = 1; c <= columns; ++c) writeValue(base + c, r);
            file.WriteLine("</tr>");
        }
        file.WriteLine("</table>");
        file.WriteLine(closing);
        base += columns;
    }
    file.WriteLine("<hr>");
}

}  // namespace

void WriteHtmlHeader(const TableSet& ts, OutputFile& file) {
    file.WriteLine("<html>");
    file.WriteLine("<head>");
    file.WriteLine("<link rel=stylesheet type=\"text/css\" href=\"kelvo.css\">");
    file.WriteLine("</head>");
    file.WriteLine("<body>");
    file.WriteLine(std::string("<h1>KELVO - Quendar - Version ") + KelvoVersion + "</h1>");
    file.WriteLine("<p>");
    file.WriteLine("<h2>Model</h2>");
    file.WriteLine("<table>");
    file.WriteLine("<tr>");
    file.WriteLine("  <td class=\"kop\">Indepedent variable</td>");
    file.WriteLine(NameLine("  <td class=\"cel\">", ts.VariableNames[ts.DependentVariable].str(), CellEnd));
    file.WriteLine("</tr>");
    file.WriteLine("<tr>");
    file.WriteLine("  <td class=\"kop\">Predictor variables</td>");
    file.WriteLine("  <td class=\"cel\">");
    std::string predictors = "   ";
    for (int p = 1; p <= ts.PredictorCount; ++p) {
        if (p > 1) predictors += ", ";
        AppendEscaped(predictors, ts.VariableNames[ts.PredictorList[p]].str());
    }
    predictors += "  </td>";
    file.WriteLine(predictors);
    file.WriteLine("</tr>");
    file.WriteLine("</table>");
    file.WriteLine("<hr>");
}

void WriteHtmlTables(const TableSet& ts, OutputFile& file) {
    for (int i = 2; i <= ts.VariableCount; ++i) {
        for (int j = 1; j < i; ++j) {
            const PairTable& table = ts.PairTables[PairIndex(i, j)];
            const int rows = ts.CategoryCounts[i];
            const int columns = ts.CategoryCounts[j];
            // Totals in 64 bits, so that no sum of 32-bit cells can wrap.
            std::array<std::int64_t, MaxCategories + 1> columnTotals{};
            std::int64_t grandTotal = 0;

            std::string title = NameLine("<h2>Table: ", ts.VariableNames[i].str(), " by ");
            AppendEscaped(title, ts.VariableNames[j].str());
            title += "</h2>";
            file.WriteLine(title);
            file.WriteLine("<table>");
            file.WriteLine("<tr>");
            file.WriteLine("  <td class=\"kop\" width=60>&nbsp;</td>");
            for (int c = 1; c <= columns; ++c) file.WriteLine(NameLine(ColumnHeadingStart, ts.CategoryNames[j][c].str(), CellEnd));
            file.WriteLine("<td class=\"kop\" align=right width=60>Total</td>");
            file.WriteLine("</tr>");
            for (int r = 1; r <= rows; ++r) {
                file.WriteLine("<tr>");
                file.WriteLine(NameLine(RowLabelStart, ts.CategoryNames[i][r].str(), CellEnd));
                std::int64_t rowTotal = 0;
                for (int c = 1; c <= columns; ++c) {
                    const std::int32_t cell = table[r][c];
                    WriteCell(file, ValueStart, FormatInteger(cell, 8));
                    rowTotal += cell;
                    columnTotals[c] += cell;
                    grandTotal += cell;
                }
                WriteCell(file, ValueStart, FormatInteger(rowTotal, 8));
                file.WriteLine("</tr>");
            }
            file.WriteLine("<tr>");
            file.WriteLine("  <td class=\"kop\">Total</td>");
            for (int c = 1; c <= columns; ++c) WriteCell(file, ValueStart, FormatInteger(columnTotals[c], 8));
            WriteCell(file, ValueStart, FormatInteger(grandTotal, 8));
            file.WriteLine("</tr>");
            file.WriteLine("</table>");
            file.WriteLine("<p>");
        }
    }
    file.WriteLine("<hr>");
}

void WriteHtmlCoefficients(const TableSet& ts, OutputFile& file) {
    WritePredictorTables(ts, file, ValueKind::Coefficients);
}

void WriteHtmlStandardErrors(const TableSet& ts, OutputFile& file) {
    WritePredictorTables(ts, file, ValueKind::StandardErrors);
}

void WriteHtmlEnhancedCoefficients(const TableSet& ts, OutputFile& file) {
    WritePredictorTables(ts, file, ValueKind::Enhanced);
}

void WriteHtmlFooter(const TableSet& /*ts*/, OutputFile& file) {
    file.WriteLine("</body>");
    file.WriteLine("</html>");
}

}  // namespace kelvo
