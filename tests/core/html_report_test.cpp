#include "html_report.h"

#include <gtest/gtest.h>

#include "report_fixtures.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::Crlf;
using test::WrittenText;

std::string AllSections(const TableSet& ts) {
    return test::WrittenSections(ts, {test::WriteHtmlHeader, test::WriteHtmlTables, test::WriteHtmlCoefficients, test::WriteHtmlStandardErrors,
                                      test::WriteHtmlEnhancedCoefficients, test::WriteHtmlFooter});
}

// "k" for every value cell in class kop, "c" for one in class cel.
std::string ValueClasses(const std::string& html) {
    std::string classes;
    const std::string kop = "\n  <td class=\"kop\" align=right>", cel = "\n  <td class=\"cel\" align=right>";
    for (std::size_t at = 0; (at = html.find("\n  <td class=\"", at)) != std::string::npos; ++at) {
        if (html.compare(at, kop.size(), kop) == 0)
            classes += 'k';
        else if (html.compare(at, cel.size(), cel) == 0)
            classes += 'c';
    }
    return classes;
}

TEST(HtmlReportTest, HeaderAndFirstTableAreWrittenExactly) {
    const auto ts = test::VoteExample();
    const std::string header = Crlf(
        "<html>\n"
        "<head>\n"
        "<link rel=stylesheet type=\"text/css\" href=\"kelvo.css\">\n"
        "</head>\n"
        "<body>\n"
        "<h1>KELVO - Quendar - Version 7.0</h1>\n"
        "<p>\n"
        "<h2>Model</h2>\n"
        "<table>\n"
        "<tr>\n"
        "  <td class=\"kop\">Indepedent variable</td>\n"
        "  <td class=\"cel\">Vote</td>\n"
        "</tr>\n"
        "<tr>\n"
        "  <td class=\"kop\">Predictor variables</td>\n"
        "  <td class=\"cel\">\n"
        "   Sex, Region  </td>\n"
        "</tr>\n"
        "</table>\n"
        "<hr>\n");
    const std::string firstTable = Crlf(
        "<h2>Table: Vote by Sex</h2>\n"
        "<table>\n"
        "<tr>\n"
        "  <td class=\"kop\" width=60>&nbsp;</td>\n"
        "<td class=\"kop\" width=60 align=right>Male</td>\n"
        "<td class=\"kop\" width=60 align=right>Female</td>\n"
        "<td class=\"kop\" align=right width=60>Total</td>\n"
        "</tr>\n"
        "<tr>\n"
        "  <td class=\"kop\">Yes</td>\n"
        "  <td class=\"cel\" align=right>      10</td>\n"
        "  <td class=\"cel\" align=right>      20</td>\n"
        "  <td class=\"cel\" align=right>      30</td>\n"
        "</tr>\n"
        "<tr>\n"
        "  <td class=\"kop\">No</td>\n"
        "  <td class=\"cel\" align=right>       5</td>\n"
        "  <td class=\"cel\" align=right>      15</td>\n"
        "  <td class=\"cel\" align=right>      20</td>\n"
        "</tr>\n"
        "<tr>\n"
        "  <td class=\"kop\">Total</td>\n"
        "  <td class=\"cel\" align=right>      15</td>\n"
        "  <td class=\"cel\" align=right>      35</td>\n"
        "  <td class=\"cel\" align=right>      50</td>\n"
        "</tr>\n"
        "</table>\n"
        "<p>\n");
    const std::string report = AllSections(*ts);
    EXPECT_EQ(report.substr(0, header.size() + firstTable.size()), header + firstTable);
    EXPECT_TRUE(test::MatchesGolden("html_report_all_sections.html", report));
}

TEST(HtmlReportTest, PredictorSectionsDifferOnlyWhereTheyShould) {
    auto ts = test::VoteExample();
    ts->PredictorCount = 1;  // Sex alone
    const auto section = [&ts](void (*writer)(const TableSet&, OutputFile&)) {
        return WrittenText([&](OutputFile& f) { writer(*ts, f); });
    };
    const std::string sexTable = Crlf(
        "<table>\n"
        "<tr>\n"
        "  <td class=\"kop\" width=60>Vote</td>\n"
        "  <td class=\"kop\" align=right width=60>Average</td>\n"
        "<td class=\"kop\" width=60 align=right>Male</td>\n"
        "<td class=\"kop\" width=60 align=right>Female</td>\n"
        "</tr>\n"
        "<tr>\n"
        "  <td class=\"kop\">Yes</td>\n"
        "  <td class=\"cel\" align=right>  60.0</td>\n"
        "  <td class=\"cel\" align=right>  -6.7</td>\n"
        "  <td class=\"cel\" align=right>   2.9</td>\n"
        "</tr>\n"
        "<tr>\n"
        "  <td class=\"kop\">No</td>\n"
        "  <td class=\"cel\" align=right>  40.0</td>\n"
        "  <td class=\"cel\" align=right>   6.7</td>\n"
        "  <td class=\"cel\" align=right>  -2.9</td>\n"
        "</tr>\n"
        "</table>\n");
    EXPECT_EQ(section(test::WriteHtmlCoefficients),
              Crlf("<h2>Coeficients for variable: Sex</h2>\n") + sexTable + Crlf("<p>\n<hr>\n"));

    std::string enhanced = sexTable;
    // The averages are significant (60 and 40 against 1.96 x 6.93), the
    // coefficients are not.
    for (const char* value : {"  60.0", "  40.0"}) {
        const std::string cel = std::string("\"cel\" align=right>") + value;
        enhanced.replace(enhanced.find(cel), 5, "\"kop\"");
    }
    EXPECT_EQ(section(test::WriteHtmlEnhancedCoefficients), Crlf("<h2>Coefficients for variable: Sex</h2>\n") + enhanced +
                                                          Crlf("<i>Bold values are significant</i><p>\n<hr>\n"));

    const std::string errors = section(test::WriteHtmlStandardErrors);
    const std::string errorsHeading = Crlf("<h2>Standard errors for variable: Sex</h2>\n");
    const std::string errorsEnd = Crlf("</table>\n<p></p>\n<hr>\n");
    EXPECT_EQ(errors.substr(0, errorsHeading.size()), errorsHeading);
    EXPECT_NE(
        errors.find(Crlf("  <td class=\"cel\" align=right>  12.6</td>\n  <td class=\"cel\" align=right>   8.3</td>\n")),
        std::string::npos);
    EXPECT_EQ(errors.substr(errors.size() - errorsEnd.size()), errorsEnd);
}

TEST(HtmlReportTest, EdgeCasesEscapeNamesAndMarkSignificance) {
    const auto ts = test::EdgeCaseExample();
    const std::string report = AllSections(*ts);
    EXPECT_TRUE(test::MatchesGolden("html_report_edge_cases.html", report));
    // Names are escaped wherever they appear; 12-character names stay whole.
    EXPECT_NE(report.find("   Department12  </td>\r\n"), std::string::npos);
    EXPECT_NE(report.find("<h2>Table: Satisfied11 by Department12</h2>\r\n"), std::string::npos);
    EXPECT_NE(report.find("<td class=\"kop\" width=60 align=right>R&amp;D</td>\r\n"), std::string::npos);
    EXPECT_NE(report.find("<td class=\"kop\" width=60 align=right>&lt;Sales&gt;</td>\r\n"), std::string::npos);
    EXPECT_NE(report.find("<td class=\"kop\" width=60 align=right>Q&quot;A</td>\r\n"), std::string::npos);
    EXPECT_NE(report.find("  <td class=\"kop\">No, not at a</td>\r\n"), std::string::npos);
    EXPECT_EQ(report.find("<Sales>"), std::string::npos);
    EXPECT_EQ(report.find("R&D"), std::string::npos);
    // Counts: a negative ten-digit count and an 11-digit 64-bit total whole.
    EXPECT_NE(report.find("align=right>-1234567890</td>\r\n"), std::string::npos);
    EXPECT_NE(report.find("align=right>13797817639</td>\r\n"), std::string::npos);

    // Enhanced section, rows Yes, No, "-", values average, R&D, <Sales>, Q"A:
    // a standard error of 0 makes every nonzero value significant (also
    // -0.0004, shown as -0.0), an interval touching 0 (1.96 +- 1.96) is not.
    const std::string enhanced = report.substr(report.find("<h2>Coefficients for variable:"));
    EXPECT_EQ(ValueClasses(enhanced), "kkcckkckkcck");
    EXPECT_NE(enhanced.find("  <td class=\"kop\" align=right>  -0.0</td>\r\n"), std::string::npos);
}

TEST(HtmlReportTest, OneVariableTablesSectionIsOneRule) {
    auto ts = test::MakeTableSet({{"Only", {"a", "b"}}});
    EXPECT_EQ(WrittenText([&ts](OutputFile& f) { test::WriteHtmlTables(ts, f); }), "<hr>\r\n");
}

}  // namespace
}  // namespace kelvo
