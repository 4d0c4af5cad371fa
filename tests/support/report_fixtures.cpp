#include "report_fixtures.h"

#include <limits>

#include "html_report.h"
#include "largest_table_set.h"
#include "output_sections.h"
#include "text_report.h"
#include "test_support.h"

namespace kelvo::test {

namespace {

// The section `kind` of a table set with a computed model, rendered with a
// Driver on `out`.
template <typename Driver>
void RenderSection(SectionKind kind, const TableSet& ts, LineSink& out) {
    Driver driver(out);
    BuildSection(kind, ts, ResultsOf(ts), driver);
}

}  // namespace

std::unique_ptr<TableSet> VoteExample() {
    auto ts = std::make_unique<TableSet>(MakeTableSet({{"Sex", {"Male", "Female"}},
                                                       {"Vote", {"Yes", "No"}},
                                                       {"Region", {"North", "South", "West"}}}));
    SetTable(*ts, 2, 1, {{10, 20}, {5, 15}});
    SetTable(*ts, 3, 1, {{5, 10}, {4, 15}, {6, 10}});
    SetTable(*ts, 3, 2, {{10, 5}, {12, 7}, {8, 8}});
    ts->DependentVariable = 2;
    ts->PredictorCount = 2;
    ts->PredictorList[1] = 1;
    ts->PredictorList[2] = 3;
    // Parameter 1 the average, 2..3 Sex, 4..6 Region; columns Yes, No.
    const double coefficients[7][2] = {{0, 0},           {0.6, 0.4},        {-0.0667, 0.0667}, {0.0286, -0.0286},
                                       {0.0625, -0.0625}, {0.0150, -0.0150}, {-0.0004, 0.0004}};
    const double errors[7][2] = {{0, 0},         {6.9282, 6.9282}, {12.6491, 12.6491}, {8.2808, 8.2808},
                                 {3.25, 3.25},   {11.2, 0.0},      {10.0, 10.0}};
    for (int p = 1; p <= 6; ++p)
        for (int d = 1; d <= 2; ++d) {
            ts->Coefficients[p][d] = coefficients[p][d - 1];
            ts->StandardErrors[p][d] = errors[p][d - 1];
        }
    return ts;
}

std::unique_ptr<TableSet> EdgeCaseExample() {
    auto ts = std::make_unique<TableSet>(MakeTableSet({{"Department12", {"R&D", "<Sales>", "Q\"A"}},
                                                       {"Satisfied11", {"Yes, a lot", "No, not at all", "-"}}}));
    // Counts near the 32-bit limits: totals need 64 bits and more than 10
    // digits; the negative ten-digit count is 11 characters long.
    constexpr std::int32_t big = std::numeric_limits<std::int32_t>::max();
    SetTable(*ts, 2, 1, {{big, big, 0}, {-1234567890, big, big}, {big, big, big}});
    ts->DependentVariable = 2;
    ts->PredictorCount = 1;
    ts->PredictorList[1] = 1;
    // Averages, then R&D, <Sales>, Q"A; columns Yes..., No..., -.
    const double coefficients[5][3] = {{0, 0, 0},
                                       {0.5, 0.4999, 0.0001},
                                       {-0.0004, 0.0004, -0.0},
                                       {0.0625, -0.0625, 0.0015},
                                       {0.0196, -0.05, 12.345}};
    const double errors[5][3] = {{0, 0, 0}, {0.0, 1.25, 0.0}, {0.0, 0.0, 0.0}, {3.25, 3.25, 0.15}, {1.0, 2.0, 0.0}};
    for (int p = 1; p <= 4; ++p)
        for (int d = 1; d <= 3; ++d) {
            ts->Coefficients[p][d] = coefficients[p][d - 1];
            ts->StandardErrors[p][d] = errors[p][d - 1];
        }
    return ts;
}

std::unique_ptr<TableSet> LargestExample() {
    auto ts = MakeLargestTableSet();
    ts->DependentVariable = MaxVariables;
    ts->PredictorCount = MaxVariables - 1;
    for (int p = 1; p <= ts->PredictorCount; ++p) ts->PredictorList[p] = p;
    for (int p = 1; p <= MaxParameters; ++p)
        for (int d = 1; d <= MaxCategories; ++d) {
            ts->Coefficients[p][d] = ((p * 31 + d * 17) % 200 - 100) / 1000.0;
            ts->StandardErrors[p][d] = ((p * 13 + d * 7) % 50) / 10.0;
        }
    return ts;
}

std::string WrittenText(const std::function<void(OutputFile&)>& write) {
    TempDir dir;
    OutputFile file;
    file.Create(dir / "report");
    write(file);
    file.Close();
    return ReadFile(dir / "report");
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string WrittenSections(const TableSet& ts, const std::vector<SectionWriter>& writers) {
    return WrittenText([&](OutputFile& file) {
        for (const SectionWriter write : writers) write(ts, file);
    });
}

void WriteHtmlHeader(const TableSet& ts, OutputFile& file) {
    HtmlDriver driver(file);
    driver.BeginDocument();
    BuildModelSection(ResultsOf(ts), driver);
}
void WriteHtmlTables(const TableSet& ts, OutputFile& file) {
    HtmlDriver driver(file);
    BuildPairTablesSection(ts, driver);
}
void WriteHtmlCoefficients(const TableSet& ts, OutputFile& file) {
    RenderSection<HtmlDriver>(SectionKind::Coefficients, ts, file);
}
void WriteHtmlStandardErrors(const TableSet& ts, OutputFile& file) {
    RenderSection<HtmlDriver>(SectionKind::StandardErrors, ts, file);
}
void WriteHtmlEnhancedCoefficients(const TableSet& ts, OutputFile& file) {
    RenderSection<HtmlDriver>(SectionKind::EnhancedCoefficients, ts, file);
}
void WriteHtmlFooter(const TableSet&, OutputFile& file) { HtmlDriver(file).EndDocument(); }

void WriteTextHeader(const TableSet& ts, OutputFile& file) {
    TextDriver driver(file);
    driver.BeginDocument();
    BuildModelSection(ResultsOf(ts), driver);
}
void WriteTextTables(const TableSet& ts, OutputFile& file) {
    TextDriver driver(file);
    BuildPairTablesSection(ts, driver);
}
void WriteTextCoefficients(const TableSet& ts, OutputFile& file) {
    RenderSection<TextDriver>(SectionKind::Coefficients, ts, file);
}
void WriteTextStandardErrors(const TableSet& ts, OutputFile& file) {
    RenderSection<TextDriver>(SectionKind::StandardErrors, ts, file);
}

}  // namespace kelvo::test
