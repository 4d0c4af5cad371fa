// The exported formats read back by real consumers: pdftotext, an unzipped
// OpenDocument package parsed by xmllint, cmark-gfm, pdflatex and KELVO's own
// CSV reader. The numbers must be those of estimate --json, as shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>

#include "cli_runner.h"
#include "csv_records.h"
#include "number_format.h"
#include "table_set_file.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::RunCli;
using test::RunProgram;

const std::string Titanic = test::SourcePath("examples/titanic.tbl").string();
const std::vector<std::string> TitanicModel = {"--dependent", "Survived", "--predictors", "Class,Sex,Age"};

// KELVO's CSV reader, which follows what spreadsheets write.
std::vector<std::vector<std::string>> SplitCsvRecords(const std::string& text) {
    std::vector<std::vector<std::string>> records;
    CsvRecordReader reader([&records](std::vector<std::string>& fields) { records.push_back(fields); });
    reader.Feed(text);
    reader.Finish();
    return records;
}

bool Installed(const std::string& program) {
    return RunProgram("/bin/sh", {"-c", "command -v " + program}).status == 0;
}

std::vector<std::string> With(std::vector<std::string> first, const std::vector<std::string>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

// Writes the report of `file` in `format` with every section and returns its path.
std::filesystem::path Report(const test::TempDir& dir, const std::string& file, const std::vector<std::string>& model,
                             const std::string& format) {
    const auto path = dir / ("report." + format);
    const auto result = RunCli(With({"report", file}, With(model, {"--log", (dir / "log").string(), "--format", format,
                                                                   "--sections",
                                                                   "tables,coefficients,errors,enhanced,summary,charts",
                                                                   "-o", path.string()})));
    EXPECT_EQ(result.status, 0) << result.err;
    // Nothing of Qt's on standard error, which holds KELVO's warnings.
    EXPECT_EQ(result.err, "");
    return path;
}

// Every coefficient (100 x, one decimal) and standard error of the Titanic
// model as estimate --json gives them.
std::vector<std::string> ShownValues(const test::TempDir& dir) {
    const auto result = RunCli(With({"estimate", Titanic}, With(TitanicModel, {"--log", (dir / "log").string(), "--json"})));
    EXPECT_EQ(result.status, 0);
    const auto json = nlohmann::json::parse(result.out);
    std::vector<std::string> values;
    for (const auto& parameter : json["coefficients"])
        for (const auto& value : parameter) values.push_back(FormatFixed(100.0 * value.get<double>(), 1, 0));
    for (const auto& parameter : json["standard_errors"])
        for (const auto& value : parameter) values.push_back(FormatFixed(value.get<double>(), 1, 0));
    return values;
}

// The words of a text, so that "-1.8" is found as itself, not inside "-11.8".
std::multiset<std::string> Words(const std::string& text) {
    std::multiset<std::string> words;
    const std::regex word(R"([^\s<>|&;]+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), word); it != std::sregex_iterator(); ++it)
        words.insert(it->str());
    return words;
}

void ExpectEveryValue(const std::string& text, const std::vector<std::string>& values, const char* what) {
    const auto words = Words(text);
    for (const std::string& value : values) EXPECT_TRUE(words.count(value) > 0) << what << " lacks " << value;
}

TEST(ReportFormats, PdfHoldsEveryCoefficientAsText) {
    ASSERT_TRUE(Installed("pdftotext")) << "poppler-utils (scripts/install-deps)";
    test::TempDir dir;
    const auto pdf = Report(dir, Titanic, TitanicModel, "pdf");
    const auto text = RunProgram("pdftotext", {pdf.string(), "-"});
    ASSERT_EQ(text.status, 0) << text.err;
    ExpectEveryValue(text.out, ShownValues(dir), "the PDF");
    // The charts' texts are text too, not outlines.
    EXPECT_NE(text.out.find("Deviation from the average"), std::string::npos);
}

TEST(ReportFormats, OpenDocumentHoldsTablesAsTables) {
    ASSERT_TRUE(Installed("unzip") && Installed("xmllint")) << "unzip, libxml2-utils (scripts/install-deps)";
    test::TempDir dir;
    const auto odt = Report(dir, Titanic, TitanicModel, "odt");
    const auto mimetype = RunProgram("unzip", {"-p", odt.string(), "mimetype"});
    EXPECT_EQ(mimetype.out, "application/vnd.oasis.opendocument.text");
    test::WriteFile(dir / "content.xml", RunProgram("unzip", {"-p", odt.string(), "content.xml"}).out);
    const auto xpath = [&](const std::string& expression) {
        auto result = RunProgram("xmllint", {"--xpath", expression, (dir / "content.xml").string()});
        while (!result.out.empty() && result.out.back() == '\n') result.out.pop_back();
        return result;
    };
    // 1 model, 6 pair tables, 3 x 3 predictor tables, 1 fit, 2 x (1 tests +
    // 3 deviations): 25 tables; 6 charts as pictures.
    EXPECT_EQ(xpath("count(//*[local-name()='table'])").out, "25");
    EXPECT_EQ(xpath("count(//*[local-name()='image'])").out, "6");
    const auto cells = xpath("//*[local-name()='table-cell']//text()");
    ASSERT_EQ(cells.status, 0) << cells.err;
    ExpectEveryValue(cells.out, ShownValues(dir), "the tables of the ODT");
}

TEST(ReportFormats, MarkdownRendersTheSameNumbersInTables) {
    ASSERT_TRUE(Installed("cmark-gfm")) << "cmark-gfm (scripts/install-deps)";
    test::TempDir dir;
    const auto md = Report(dir, Titanic, TitanicModel, "md");
    const auto html = RunProgram("cmark-gfm", {"--extension", "table", md.string()});
    ASSERT_EQ(html.status, 0) << html.err;
    std::string cells;
    const std::regex cell(R"(<td[^>]*>(.*?)</td>)");
    for (auto it = std::sregex_iterator(html.out.begin(), html.out.end(), cell); it != std::sregex_iterator(); ++it)
        cells += (*it)[1].str() + "\n";
    ExpectEveryValue(cells, ShownValues(dir), "the rendered tables");
    // Significant values are strong.
    EXPECT_NE(html.out.find("<td align=\"right\"><strong>67.7</strong></td>"), std::string::npos);
}

TEST(ReportFormats, CsvGivesEveryValueOfTheJsonAsShown) {
    test::TempDir dir;
    const auto csv = RunCli(With({"estimate", Titanic}, With(TitanicModel, {"--log", (dir / "log").string(), "--csv"})));
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::vector<std::vector<std::string>> rows = SplitCsvRecords(csv.out);
    ASSERT_GT(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"section", "table", "row", "column", "value", "significant"}));
    const auto json = nlohmann::json::parse(
        RunCli(With({"estimate", Titanic}, With(TitanicModel, {"--log", (dir / "log").string(), "--json"}))).out);
    // Parameter p of the json is (table of its variable, its category); the
    // average stands in every table.
    std::map<std::tuple<std::string, std::string, std::string, std::string>, std::string> shown;
    for (const auto& row : rows) shown[{row[0], row[1], row[2], row[3]}] = row[4];
    const auto categories = json["dependent_categories"];
    for (std::size_t p = 0; p < json["parameters"].size(); ++p) {
        const auto& parameter = json["parameters"][p];
        for (std::size_t d = 0; d < categories.size(); ++d) {
            const std::string category = categories[d];
            const std::string column = parameter["category"];
            const std::string variable = parameter["variable"].is_null() ? "Class" : std::string(parameter["variable"]);
            EXPECT_EQ((shown[{"Enhanced coefficients", "Coefficients for variable: " + variable, category, column}]),
                      FormatFixed(100.0 * json["coefficients"][p][d].get<double>(), 1, 0));
            EXPECT_EQ((shown[{"Standard errors", "Standard errors for variable: " + variable, category, column}]),
                      FormatFixed(json["standard_errors"][p][d].get<double>(), 1, 0));
        }
    }
    for (std::size_t d = 0; d < categories.size(); ++d)
        EXPECT_EQ((shown[{"Prediction range", "Predictions for the dependent variable", categories[d], "Minimum"}]),
                  FormatFixed(json["minimum_prediction"][d].get<double>(), 1, 0));
}

// ---- Names with markup, LaTeX's special characters and Latin-1 letters ----

// Three variables whose names hold what every format must escape.
const char* const Awkward[] = {"&%$#_{}~^\\<>", "<b>bold</b>", "R\xE9gion"};

std::string AwkwardTableSet(const test::TempDir& dir) {
    TableSet ts = test::MakeTableSet({{Awkward[0], {"a|b", "x*y_z"}}, {Awkward[1], {"[l](u)", "`c`"}},
                                      {Awkward[2], {"Z\xFCrich", "Gen\xE8ve"}}});
    test::SetTable(ts, 2, 1, {{30, 20}, {10, 40}});
    test::SetTable(ts, 3, 1, {{25, 15}, {15, 45}});
    test::SetTable(ts, 3, 2, {{22, 18}, {28, 32}});
    const auto path = dir / "awkward.tbl";
    test::WriteFile(path, TableSetText(ts));
    return path.string();
}

const std::vector<std::string> AwkwardModel = {"--dependent", "R\xC3\xA9gion", "--predictors",
                                               "&%$#_{}~^\\<>,<b>bold</b>"};
// The names as UTF-8, as every exported text holds them.
const std::vector<std::string> AwkwardShown = {"&%$#_{}~^\\<>", "<b>bold</b>", "R\xC3\xA9gion", "a|b", "x*y_z",
                                               "[l](u)", "`c`", "Z\xC3\xBCrich", "Gen\xC3\xA8ve"};

void ExpectEveryName(const std::string& text, const char* what) {
    for (const std::string& name : AwkwardShown) EXPECT_NE(text.find(name), std::string::npos) << what << " lacks " << name;
}

TEST(ReportFormats, NamesSurviveEveryFormat) {
    ASSERT_TRUE(Installed("pdftotext") && Installed("cmark-gfm") && Installed("unzip"));
    test::TempDir dir;
    const std::string file = AwkwardTableSet(dir);
    ExpectEveryName(RunProgram("pdftotext", {Report(dir, file, AwkwardModel, "pdf").string(), "-"}).out, "the PDF");
    test::WriteFile(dir / "content.xml",
                    RunProgram("unzip", {"-p", Report(dir, file, AwkwardModel, "odt").string(), "content.xml"}).out);
    ExpectEveryName(RunProgram("xmllint", {"--xpath", "string(/)", (dir / "content.xml").string()}).out, "the ODT");
    // cmark-gfm writes & < > as entities in its HTML: the text shown is
    // what matters, so decode them.
    std::string rendered = RunProgram("cmark-gfm", {"--extension", "table", Report(dir, file, AwkwardModel, "md").string()}).out;
    for (const auto& [entity, character] : std::vector<std::pair<std::string, std::string>>{
             {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
        for (std::size_t at; (at = rendered.find(entity)) != std::string::npos;) rendered.replace(at, entity.size(), character);
    EXPECT_EQ(rendered.find("<b>bold</b>") == std::string::npos, false);
    EXPECT_EQ(rendered.find("<strong>bold"), std::string::npos) << "markup in a name must not become markup";
    ExpectEveryName(rendered, "the rendered Markdown");
    const std::string csv = test::ReadFile(Report(dir, file, AwkwardModel, "csv"));
    std::string fields;
    for (const auto& row : SplitCsvRecords(csv))
        for (const auto& field : row) fields += field + "\n";
    ExpectEveryName(fields, "the CSV");
}

TEST(ReportFormats, LatexCompilesAndShowsEveryNameAsTyped) {
    if (!Installed("pdflatex")) GTEST_SKIP() << "pdflatex is not installed";
    test::TempDir dir;
    const auto tex = Report(dir, AwkwardTableSet(dir), AwkwardModel, "latex");
    const auto compiled = RunProgram("pdflatex", {"-interaction=nonstopmode", "-halt-on-error", tex.filename().string()},
                                     dir.path().string());
    ASSERT_EQ(compiled.status, 0) << compiled.out.substr(compiled.out.size() > 3000 ? compiled.out.size() - 3000 : 0);
    const auto text = RunProgram("pdftotext", {(dir / "report.pdf").string(), "-"});
    ExpectEveryName(text.out, "the compiled LaTeX");
}

TEST(ReportFormats, LatexOfTitanicCompiles) {
    if (!Installed("pdflatex")) GTEST_SKIP() << "pdflatex is not installed";
    test::TempDir dir;
    const auto tex = Report(dir, Titanic, TitanicModel, "latex");
    const auto compiled = RunProgram("pdflatex", {"-interaction=nonstopmode", "-halt-on-error", tex.filename().string()},
                                     dir.path().string());
    ASSERT_EQ(compiled.status, 0) << compiled.out.substr(compiled.out.size() > 3000 ? compiled.out.size() - 3000 : 0);
    ExpectEveryValue(RunProgram("pdftotext", {(dir / "report.pdf").string(), "-"}).out, ShownValues(dir), "the LaTeX");
}

TEST(ReportFormats, AFailedExportLeavesTheFileAsItWas) {
    test::TempDir dir;
    const auto target = dir / "kept.pdf";
    test::WriteFile(target, "old");
    // A summary cannot be made for a singular model: exit 1, nothing written.
    const auto missing = RunCli({"report", Titanic, "--dependent", "Survived", "--predictors", "Class", "--log",
                                 (dir / "log").string(), "--format", "pdf", "-o", (dir / "no/such/folder.pdf").string()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_FALSE(missing.err.empty());
    EXPECT_EQ(test::ReadFile(target), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << "only the file and the log";
}

TEST(ReportFormats, PdfWithoutItsModuleIsRefusedAndOtherFormatsStillWork) {
    // A kelvo-cli copied away from its PDF module: a clear message, exit 2,
    // no file; the formats that need no module are written as before.
    test::TempDir dir;
    const auto program = dir / "bin/kelvo-cli";
    std::filesystem::create_directories(program.parent_path());
    std::filesystem::copy_file(KELVO_CLI_PATH, program);
    const std::vector<std::string> arguments = With({"report", Titanic}, With(TitanicModel, {"--log", (dir / "log").string()}));
    const auto pdf = RunProgram(program.string(), With(arguments, {"--format", "pdf", "-o", (dir / "r.pdf").string()}));
    EXPECT_EQ(pdf.status, 2);
    EXPECT_EQ(pdf.err.rfind("kelvo-cli: PDF output is not available: ", 0), 0u) << pdf.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "r.pdf"));
    const auto odt = RunProgram(program.string(), With(arguments, {"--format", "odt", "-o", (dir / "r.odt").string()}));
    EXPECT_EQ(odt.status, 0) << odt.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "r.odt"));
}

}  // namespace
}  // namespace kelvo
