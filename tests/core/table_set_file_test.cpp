#include "table_set_file.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "io_error.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::MakeTableSet;
using test::SetTable;

// Sex (Male, Female) and Age (Young, Middle, Old), with the table Age by Sex.
TableSet SexByAge() {
    TableSet ts = MakeTableSet({{"Sex", {"Male", "Female"}}, {"Age", {"Young", "Middle", "Old"}}});
    SetTable(ts, 2, 1, {{10, 12}, {0, -5}, {7, 1234567}});
    return ts;
}

// The warnings of reading `text` into the input side of `ts`; `complete`
// receives whether the read was complete.
std::vector<std::string> ReadText(TableSet& ts, const std::string& text, bool* complete = nullptr) {
    CollectingWarningSink warnings;
    const bool whole = ReadInputSide(ts, text, warnings);
    if (complete != nullptr) *complete = whole;
    return warnings.warnings;
}

// The used parts of two table sets are equal.
void ExpectSameContents(const TableSet& a, const TableSet& b) {
    ASSERT_EQ(a.VariableCount, b.VariableCount);
    for (int v = 1; v <= a.VariableCount; ++v) {
        EXPECT_EQ(a.VariableNames[v], b.VariableNames[v]);
        ASSERT_EQ(a.CategoryCounts[v], b.CategoryCounts[v]);
        for (int n = 1; n <= a.CategoryCounts[v]; ++n) EXPECT_EQ(a.CategoryNames[v][n], b.CategoryNames[v][n]);
    }
    for (int i = 2; i <= a.VariableCount; ++i)
        for (int j = 1; j < i; ++j)
            for (int x = 1; x <= a.CategoryCounts[i]; ++x)
                for (int y = 1; y <= a.CategoryCounts[j]; ++y)
                    EXPECT_EQ(a.PairTables[PairIndex(i, j)][x][y], b.PairTables[PairIndex(i, j)][x][y])
                        << "table " << PairIndex(i, j) << " cell " << x << "," << y;
}

TEST(WriteTableSetTest, WritesTheDocumentedLayout) {
    const std::string expected =
        "2\r\nSex\r\n2\r\nMale\r\nFemale\r\nAge\r\n3\r\nYoung\r\nMiddle\r\nOld\r\nAge*Sex\r\n"
        "        10         12 \r\n         0         -5 \r\n         7    1234567 \r\n";
    EXPECT_EQ(TableSetText(SexByAge()), expected);
}

TEST(WriteTableSetTest, LongNegativeValueTakesMoreThanTenCharacters) {
    TableSet ts = SexByAge();
    ts.PairTables[1][1][1] = -2147483647;
    EXPECT_NE(TableSetText(ts).find("\r\n-2147483647         12 \r\n"), std::string::npos);
}

TEST(WriteTableSetTest, EmptyTableSetIsTheCountLineOnly) {
    EXPECT_EQ(TableSetText(TableSet{}), "0\r\n");
}

TEST(ReadTableSetTest, RoundTripOfWrittenFile) {
    test::TempDir dir;
    TableSet original = MakeTableSet({{"A", {"a1", "a2"}}, {"B b", {"b1", "b2", "b3"}}, {"C", {"", "c2"}}, {"ABCDEFGHIJKL", {"x", "y"}}});
    int value = -3;
    for (int k = 1; k <= 6; ++k)
        for (int x = 1; x <= 3; ++x)
            for (int y = 1; y <= 3; ++y) original.PairTables[k][x][y] = value++;
    original.FileName = (dir / "round.tbl").string();
    WriteTableSet(original);

    TableSet read;
    read.FileName = original.FileName;
    read.VariableRoles[2] = 2;
    CollectingWarningSink warnings;
    ReadTableSet(read, warnings);
    EXPECT_TRUE(warnings.warnings.empty());
    ExpectSameContents(read, original);
    EXPECT_EQ(read.VariableRoles[2], 0) << "a complete read clears the roles";
    EXPECT_EQ(test::ReadFile(original.FileName), TableSetText(read));
}

TEST(ReadTableSetTest, ReadingRulesOfTheFormat) {
    // LF line ends, blank lines before numbers, names cut to 12 characters,
    // a transposed block, rows spread over lines, extra numbers ignored,
    // a later block winning and a missing table read as zeros.
    const std::string text =
        "3\n"
        "Sex\n2\nMale\nFemale\n"
        "A very long name\n\n\n3\nYoung\nMiddle\nOld category name\n"
        "Region\n2\nN\nS\n"
        "Sex*A very long \n"        // transposed: rows Sex, columns Age
        "1 2 3 99\n"                // extra number ignored
        "4\n5\n6\n"                 // a row over several lines
        "A very long *Sex\n"
        "  10 12 trailing text\n0 -5\n+7 8\n"
        "A very long *Sex\n"        // the later block wins
        "10 12\n0 -5\n7 9\n";
    TableSet ts;
    ts.PairTables[2][1][1] = 77;  // Region by Sex is missing: zeros
    EXPECT_TRUE(ReadText(ts, text).empty());
    ASSERT_EQ(ts.VariableCount, 3);
    EXPECT_EQ(ts.VariableNames[2].str(), "A very long ");
    EXPECT_EQ(ts.CategoryNames[2][3].str(), "Old category");
    const PairTable& ageBySex = ts.PairTables[PairIndex(2, 1)];
    EXPECT_EQ(ageBySex[1][1], 10);
    EXPECT_EQ(ageBySex[1][2], 12);
    EXPECT_EQ(ageBySex[2][2], -5);
    EXPECT_EQ(ageBySex[3][1], 7);
    EXPECT_EQ(ageBySex[3][2], 9);
    EXPECT_EQ(ts.PairTables[PairIndex(3, 1)][1][1], 0);
}

TEST(ReadTableSetTest, TransposedBlockIsStoredInFixedOrientation) {
    TableSet ts;
    EXPECT_TRUE(ReadText(ts, "2\r\nSex\r\n2\r\nM\r\nF\r\nAge\r\n3\r\nY\r\nM\r\nO\r\nSex*Age\r\n1 2 3\r\n4 5 6\r\n").empty());
    // File row x (Sex), column y (Age) goes to stored row y, column x.
    EXPECT_EQ(ts.PairTables[1][3][1], 3);
    EXPECT_EQ(ts.PairTables[1][1][2], 4);
}

TEST(ReadTableSetTest, EndOfFileInsideABlockLeavesZeros) {
    TableSet ts;
    bool complete = false;
    EXPECT_TRUE(ReadText(ts, "2\nA\n2\na\nb\nB\n2\nc\nd\nB*A\n5 6\n7", &complete).empty());
    EXPECT_EQ(ts.PairTables[1][2][1], 7);
    EXPECT_EQ(ts.PairTables[1][2][2], 0);
    EXPECT_TRUE(complete) << "counts as a complete read";
}

struct HeaderCase {
    const char* name;
    const char* tail;     // what follows the variable blocks
    const char* warning;  // the one warning expected
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class HeaderErrorTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderErrorTest, WarnsStopsAndKeepsWhatWasRead) {
    const HeaderCase& c = GetParam();
    TableSet ts;
    const std::string text = std::string("3\nSex\n2\nM\nF\nAge\n2\nY\nO\nR\n2\nN\nS\nAge*Sex\n1 2\n3 4\n") + c.tail;
    bool complete = true;
    const auto warnings = ReadText(ts, text, &complete);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], c.warning);
    EXPECT_EQ(ts.VariableCount, 3);
    EXPECT_EQ(ts.PairTables[1][2][2], 4) << "tables before the bad header stay";
    EXPECT_FALSE(complete) << "a read ended by a warning is not complete (the roles stay)";
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderErrorTest,
    ::testing::Values(HeaderCase{"BlankLine", "\n", "Incorrect table specification: "},
                      HeaderCase{"NoStar", "R by Sex\n1 2\n", "Incorrect table specification: R by Sex"},
                      HeaderCase{"SpacesAroundStar", "R * Sex\n", "Incorrect variable name in file: R "},
                      HeaderCase{"UnknownSecond", "R*Sexx\n", "Incorrect variable name in file: Sexx"},
                      HeaderCase{"ExtraStar", "R*Sex*\n", "Incorrect variable name in file: Sex*"},
                      HeaderCase{"SameVariableTwice", "R*R\n1 2\n", "Incorrect table specification: R*R"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadTableSetTest, HeaderInEmptyTableSetNamesFirstPart) {
    TableSet ts;
    const auto warnings = ReadText(ts, "0\r\nA*B\r\n");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "Incorrect variable name in file: A");
}

struct BadFileCase {
    const char* name;
    const char* text;
    const char* error;
};

void PrintTo(const BadFileCase& c, std::ostream* os) { *os << c.name; }

class BadFileTest : public ::testing::TestWithParam<BadFileCase> {};

// Every refused file leaves the table set exactly as it was.
TEST_P(BadFileTest, ThrowsAndLeavesTableSetUnchanged) {
    TableSet ts = SexByAge();
    const std::string before = TableSetText(ts);
    try {
        ReadText(ts, GetParam().text);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), GetParam().error);
    }
    EXPECT_EQ(TableSetText(ts), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFileTest,
    ::testing::Values(
        BadFileCase{"LetterInCell", "2\nA\n2\na\nb\nB\n2\nc\nd\nB*A\n1 x\n", "Invalid numeric input"},
        BadFileCase{"LoneSign", "2\nA\n2\na\nb\nB\n2\nc\nd\nB*A\n1 -\n", "Invalid numeric input"},
        BadFileCase{"DoubleSign", "2\nA\n2\na\nb\nB\n2\nc\nd\nB*A\n1 +-2\n", "Invalid numeric input"},
        BadFileCase{"BeyondInt32", "2\nA\n2\na\nb\nB\n2\nc\nd\nB*A\n1 2147483648\n", "Invalid numeric input"},
        BadFileCase{"OverlongToken", "2\nA\n2\na\nb\nB\n2\nc\nd\nB*A\n1 000000000000000000000000000000001\n",
                    "Invalid numeric input"},
        BadFileCase{"BadCount", "two\n", "Invalid numeric input"},
        BadFileCase{"TooManyVariables", "17\n", "Too many variables in file: 17 (at most 16)"},
        BadFileCase{"NegativeVariables", "-1\n", "Invalid number of variables in file: -1"},
        BadFileCase{"TooManyCategories", "1\nAge\n20\n", "Too many categories for variable Age: 20 (at most 16)"},
        BadFileCase{"NoLowBitsWrap", "1\nAge\n258\n", "Too many categories for variable Age: 258 (at most 16)"},
        BadFileCase{"NegativeCategories", "1\nAge\n-2\n", "Invalid number of categories for variable Age: -2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadTableSetTest, CountsZeroAndOneAreReadAsTheyAre) {
    TableSet ts;
    EXPECT_TRUE(ReadText(ts, "2\nA\n0\nB\n1\nb1\nB*A\n").empty());
    EXPECT_EQ(ts.CategoryCounts[1], 0);
    EXPECT_EQ(ts.CategoryCounts[2], 1);
    EXPECT_EQ(ts.CategoryNames[2][1].str(), "b1");
}

TEST(ReadTableSetTest, ArbitraryBytesNeverCrash) {
    // Deterministic pseudo-random garbage, including NUL and high bytes.
    std::uint32_t state = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string text = round % 2 ? "2\nA\n2\na\nb\nB\n2\nc\nd\n" : "";
        const int length = 1 + round % 200;
        for (int i = 0; i < length; ++i) {
            state = state * 1664525u + 1013904223u;
            text.push_back(static_cast<char>(state >> 24));
        }
        TableSet ts;
        try {
            ReadText(ts, text);
        } catch (const IoError&) {
        }
        EXPECT_LE(ts.VariableCount, MaxVariables);
        EXPECT_GE(ts.VariableCount, 0);
    }
}

TEST(ReadTableSetTest, MissingFileIsFileNotFound) {
    test::TempDir dir;
    TableSet ts = SexByAge();
    ts.FileName = (dir / "missing.tbl").string();
    CollectingWarningSink warnings;
    try {
        ReadTableSet(ts, warnings);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(ts.VariableCount, 2);
}

// A write that fails must leave the previous file byte for byte and no
// temporary file behind; the next write of the same name must work.
class FailedWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ts = SexByAge();
        ts.FileName = (dir / "data.tbl").string();
        test::WriteFile(ts.FileName, previous);
    }
    void ExpectOldFileIntact() {
        EXPECT_EQ(test::ReadFile(ts.FileName), previous);
        int entries = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
        EXPECT_EQ(entries, 1) << "a temporary file was left behind";
    }
    test::TempDir dir;
    TableSet ts;
    const std::string previous = "the previous contents\r\n";
};

TEST_F(FailedWriteTest, FileSizeLimitPartWay) {
    // Run in a child so that the lowered limit does not touch other tests.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WriteTableSet(ts);
        } catch (const IoError& e) {
            _exit(std::string(e.what()) == "Disk full" ? 0 : 3);
        }
        _exit(4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: wrong error text, 4: no error";
    ExpectOldFileIntact();
    WriteTableSet(ts);
    EXPECT_EQ(test::ReadFile(ts.FileName), TableSetText(ts));
}

TEST_F(FailedWriteTest, ReadOnlyDirectory) {
    if (geteuid() == 0) GTEST_SKIP() << "root ignores directory permissions";
    chmod(dir.path().c_str(), 0555);
    EXPECT_THROW(WriteTableSet(ts), IoError);
    chmod(dir.path().c_str(), 0755);
    ExpectOldFileIntact();
}

TEST_F(FailedWriteTest, TargetIsADirectory) {
    TableSet other = ts;
    other.FileName = (dir / "folder").string();
    std::filesystem::create_directory(other.FileName);
    try {
        WriteTableSet(other);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_TRUE(std::filesystem::is_directory(other.FileName));
    std::filesystem::remove(other.FileName);
    ExpectOldFileIntact();
}

TEST_F(FailedWriteTest, MissingDirectory) {
    TableSet other = ts;
    other.FileName = (dir / "no" / "such.tbl").string();
    try {
        WriteTableSet(other);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "Path not found");
    }
    ExpectOldFileIntact();
}

TEST_F(FailedWriteTest, ReplacedFileKeepsItsPermissions) {
    chmod(ts.FileName.c_str(), 0640);
    WriteTableSet(ts);
    struct stat info {};
    ASSERT_EQ(stat(ts.FileName.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace kelvo
