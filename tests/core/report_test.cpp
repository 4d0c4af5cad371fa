#include "report.h"

#include <gtest/gtest.h>

#include "html_report.h"
#include "io_error.h"
#include "report_fixtures.h"
#include "test_support.h"
#include "text_report.h"

namespace kelvo {
namespace {

using test::SectionWriter;
using test::WrittenSections;

// Every combination of the four section flags, for both report types: the
// sections come in their fixed order, whatever is chosen, and a text report
// never has the enhanced section.
class ReportSectionsTest : public ::testing::TestWithParam<std::tuple<std::uint8_t, int>> {};

TEST_P(ReportSectionsTest, WritesTheChosenSectionsInTheFixedOrder) {
    const auto [type, flags] = GetParam();
    auto ts = test::VoteExample();
    test::TempDir dir;
    ts->ReportFileName = (dir / "report").string();
    ts->ReportType = type;
    for (int s = 1; s <= 4; ++s) ts->OutputSections[s] = (flags >> (s - 1)) & 1;
    WriteReport(*ts);

    std::vector<SectionWriter> writers;
    const auto chosen = [&](int s) { return ts->OutputSections[s]; };
    if (type == HtmlReport) {
        writers = {test::WriteHtmlHeader};
        if (chosen(1)) writers.push_back(test::WriteHtmlTables);
        if (chosen(2)) writers.push_back(test::WriteHtmlCoefficients);
        if (chosen(3)) writers.push_back(test::WriteHtmlStandardErrors);
        if (chosen(4)) writers.push_back(test::WriteHtmlEnhancedCoefficients);
        writers.push_back(test::WriteHtmlFooter);
    } else {
        writers = {test::WriteTextHeader};
        if (chosen(1)) writers.push_back(test::WriteTextTables);
        if (chosen(2)) writers.push_back(test::WriteTextCoefficients);
        if (chosen(3)) writers.push_back(test::WriteTextStandardErrors);
    }
    EXPECT_EQ(test::ReadFile(ts->ReportFileName), WrittenSections(*ts, writers));
}

INSTANTIATE_TEST_SUITE_P(AllFlags, ReportSectionsTest,
                         ::testing::Combine(::testing::Values(HtmlReport, TextReport), ::testing::Range(0, 16)));

TEST(ReportTest, WithoutSectionsOnlyTheFixedPartsAreWritten) {
    auto ts = test::VoteExample();
    test::TempDir dir;
    ts->ReportFileName = (dir / "r.html").string();
    WriteReport(*ts);
    const std::string html = test::ReadFile(ts->ReportFileName);
    EXPECT_EQ(std::count(html.begin(), html.end(), '\n'), 22);
    EXPECT_EQ(html, WrittenSections(*ts, {test::WriteHtmlHeader, test::WriteHtmlFooter}));

    ts->ReportType = TextReport;
    ts->OutputSections[SectionEnhanced] = true;  // no such section in text
    WriteReport(*ts);
    EXPECT_EQ(test::ReadFile(ts->ReportFileName), WrittenSections(*ts, {test::WriteTextHeader}));
}

TEST(ReportTest, ReplacesAnExistingFileAndWritesItsNameAsGiven) {
    auto ts = test::VoteExample();
    test::TempDir dir;
    // A relative name is relative to the working directory; here an absolute
    // one with a second dot, used exactly as given.
    ts->ReportFileName = (dir / "out.final.txt").string();
    ts->ReportType = TextReport;
    test::WriteFile(ts->ReportFileName, std::string(100000, 'x'));
    WriteReport(*ts);
    EXPECT_EQ(test::ReadFile(ts->ReportFileName), WrittenSections(*ts, {test::WriteTextHeader}));
}

TEST(ReportTest, RefusesASelectionOutOfRangeWithoutTouchingTheFile) {
    test::TempDir dir;
    const auto broken = [&dir](void (*breakIt)(TableSet&)) {
        auto ts = test::VoteExample();
        ts->ReportFileName = (dir / "report").string();
        breakIt(*ts);
        EXPECT_THROW(WriteReport(*ts), std::invalid_argument);
        EXPECT_FALSE(std::filesystem::exists(ts->ReportFileName));
    };
    broken([](TableSet& ts) { ts.DependentVariable = 0; });
    broken([](TableSet& ts) { ts.DependentVariable = 4; });
    broken([](TableSet& ts) { ts.PredictorCount = 0; });
    broken([](TableSet& ts) { ts.PredictorCount = 17; });
    broken([](TableSet& ts) { ts.PredictorList[2] = 17; });
    broken([](TableSet& ts) { ts.CategoryCounts[3] = 200; });
}

struct FailureCase {
    const char* name;
    const char* fileName;  // "@" stands for the temporary directory
    const char* text;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class ReportFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ReportFailureTest, ThrowsWithTheUsersText) {
    const auto& c = GetParam();
    test::TempDir dir;
    auto ts = test::VoteExample();
    ts->OutputSections = {false, true, true, true, true};
    std::string name = c.fileName;
    if (name.rfind('@', 0) == 0) name = dir.path().string() + name.substr(1);
    ts->ReportFileName = name;
    try {
        WriteReport(*ts);
        ADD_FAILURE() << "no error for " << name;
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportFailureTest,
                         ::testing::Values(FailureCase{"EmptyName", "", "Invalid filename"},
                                           FailureCase{"MissingDirectory", "@/missing/report.html", "Path not found"},
                                           FailureCase{"NameOfADirectory", "@", "File access denied"},
                                           FailureCase{"DiskFull", "/dev/full", "Disk full"}));

TEST(ReportTest, AFailedReportKeepsWhatWasWrittenAndTheNameStaysUsable) {
    const auto ts = test::LargestExample();
    ts->OutputSections = {false, true, true, true, true};
    test::TempDir dir;
    ts->ReportFileName = (dir / "report.html").string();
    WriteReport(*ts);
    const std::string whole = test::ReadFile(ts->ReportFileName);
    ASSERT_GT(whole.size(), 300000u);

    {
        const test::FileSizeLimit limit(200000);
        try {
            WriteReport(*ts);
            ADD_FAILURE() << "the report did not fail at the file-size limit";
        } catch (const IoError& e) {
            EXPECT_STREQ(e.what(), "Disk full");
        }
    }
    const std::string partial = test::ReadFile(ts->ReportFileName);
    EXPECT_EQ(partial.size(), 200000u);
    EXPECT_EQ(partial, whole.substr(0, partial.size()));

    WriteReport(*ts);
    EXPECT_EQ(test::ReadFile(ts->ReportFileName), whole);
}

}  // namespace
}  // namespace kelvo
