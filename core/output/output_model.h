// The output model: every table that KELVO shows or writes is built once, by
// a section builder (output_sections.h), as neutral tables of values with
// roles, and every chart as data (chart.h); drivers render them: the text
// report (text_report.h), the HTML report (html_report.h), the exports
// (Markdown, LaTeX and CSV here, PDF and OpenDocument in reports/), the
// text of kelvo-cli estimate, the grids of the result windows and their
// clipboard, and the drawing of the charts (chart_drawing.h). A builder knows statistics and never layout; a driver
// knows layout and never statistics. A new kind of output is one builder,
// rendered by every driver.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chart.h"
#include "line_sink.h"

namespace kelvo {

// What a cell holds; drivers choose alignment, width, markup and colour by it.
enum class CellRole : std::uint8_t {
    Corner,              // the top-left cell: empty, or the name of the rows' variable
    Heading,             // a column heading: a category name
    SummaryHeading,      // the heading of a column that sums up the others: "Total", "Average"
    RowLabel,            // a row label: a category name, "Total", a statistic's name
    Text,                // free text, such as the names of the model's variables
    Count,               // a whole number: a cell or a total of a pair table
    Percent,             // a percentage, coefficient or standard error
    SignificantPercent,  // a coefficient whose 95 % interval leaves out 0 (an odds ratio: 1)
    OutOfRange,          // a prediction below 0 % or above 100 %
    Statistic,           // any other number (R squared, F, a p-value, ...)
};

inline bool IsNumber(CellRole role) {
    return role == CellRole::Count || role == CellRole::Percent || role == CellRole::SignificantPercent ||
           role == CellRole::OutOfRange || role == CellRole::Statistic;
}

// How a number is written: a whole number, fixed point with `decimals`
// decimals by the rule of number_format.h, or a p-value (four decimals, and
// "< 0.0001" below that). A number that does not exist (NaN) is written "-".
struct NumberFormat {
    enum class Kind : std::uint8_t { Whole, Fixed, PValue };
    Kind kind = Kind::Fixed;
    std::uint8_t decimals = 1;
};

struct OutputCell {
    CellRole role = CellRole::Text;
    // Numbers: the value and how it is written; every driver writes it with
    // AppendCellText, without padding, and aligns it in its own field.
    NumberFormat format;
    double value = 0;
    // Names, headings and free text.
    std::string text;
};

// The text of a cell: its text, or its number written by its format.
void AppendCellText(std::string& out, const OutputCell& cell);
std::string CellText(const OutputCell& cell);

struct OutputTable;
// Whether a column holds numbers below its headings (drivers align it right).
bool IsNumberColumn(const OutputTable& table, int column);

// One table: a title, then rows of cells addressed (column, row) from 0, as
// the windows' grids address theirs. With a heading row, row 0 holds the
// column headings (the corner first); column 0 holds the row labels. The last
// `footerRows` rows stand apart (a table's totals, below a rule).
struct OutputTable {
    std::string title;
    int columns = 0;
    int headingRows = 1;  // 0 or 1
    int footerRows = 0;
    std::vector<OutputCell> cells;  // row after row
    // Lines under the table (what could not be computed, and why); empty
    // for the report's original tables.
    std::vector<std::string> notes;

    int Rows() const { return columns > 0 ? static_cast<int>(cells.size()) / columns : 0; }
    const OutputCell& At(int column, int row) const {
        return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                     static_cast<std::size_t>(column)];
    }

    // Empties the table for reuse (the cells keep their storage).
    void Reset(std::string newTitle, int newColumns, int newHeadingRows = 1) {
        title = std::move(newTitle);
        columns = newColumns;
        headingRows = newHeadingRows;
        footerRows = 0;
        cells.clear();
        notes.clear();
    }
    void Add(CellRole role, std::string_view text) { cells.push_back({role, {}, 0, std::string(text)}); }
    void Add(CellRole role, std::string&& text) { cells.push_back({role, {}, 0, std::move(text)}); }
    void Add(CellRole role, const char* text) { Add(role, std::string_view(text)); }
    // A number cell.
    void AddNumber(CellRole role, double value, NumberFormat format) { cells.push_back({role, format, value, {}}); }
    void AddCount(double value) { AddNumber(CellRole::Count, value, {NumberFormat::Kind::Whole, 0}); }
    void AddPercent(double value, CellRole role = CellRole::Percent) { AddNumber(role, value, {}); }
    void AddStatistic(double value, int decimals) {
        AddNumber(CellRole::Statistic, value, {NumberFormat::Kind::Fixed, static_cast<std::uint8_t>(decimals)});
    }
    void AddPValue(double value) { AddNumber(CellRole::Statistic, value, {NumberFormat::Kind::PValue, 4}); }
};

// The sections of KELVO's output. The first five are the report's original
// sections, in their fixed order.
enum class SectionKind : std::uint8_t {
    Model,                 // the dependent variable and the predictors
    PairTables,            // every pair table with its totals
    Coefficients,          // averages and coefficients, one table per predictor
    StandardErrors,        // their standard errors
    EnhancedCoefficients,  // coefficients with the significant ones marked
    PredictionRange,       // the smallest and largest prediction per dependent category
    ModelSummary,          // fit, tests, unadjusted and adjusted deviations
    CoefficientCharts,     // a chart per predictor and dependent category
    OddsRatios,            // the odds-ratio model: tests, odds ratios with their charts, predictions
};

struct SectionInfo {
    SectionKind kind = SectionKind::Model;
    std::string title;  // the section as a whole: "Model", ...
    std::string note;   // a legend that belongs under every table, or empty
    // Whether its percentages carry the significance test: each is
    // SignificantPercent or, when not significant, Percent.
    bool significanceMarked = false;
};

// A picture: a chart as data (chart.h), and its title.
struct OutputFigure {
    std::string title;
    CoefficientChart chart;
};

// Receives a section as its builder makes it: BeginSection, every table in
// order, EndSection. A table passed to Table() is valid only during the call
// (builders reuse it), so a driver renders it at once.
class OutputDriver {
public:
    virtual ~OutputDriver() = default;
    virtual void BeginSection(const SectionInfo& section) = 0;
    virtual void Table(const OutputTable& table) = 0;
    // A driver that cannot show pictures leaves them out.
    virtual void Figure(const OutputFigure& figure) { (void)figure; }
    virtual void EndSection(const SectionInfo& section) = 0;
};

// A driver that keeps what it receives, for the windows and for tests.
struct CollectedSection {
    SectionInfo info;
    std::vector<OutputTable> tables;
};
class CollectingDriver : public OutputDriver {
public:
    void BeginSection(const SectionInfo& section) override { sections.push_back({section, {}}); }
    void Table(const OutputTable& table) override { sections.back().tables.push_back(table); }
    void EndSection(const SectionInfo&) override {}
    std::vector<CollectedSection> sections;
};

}  // namespace kelvo
