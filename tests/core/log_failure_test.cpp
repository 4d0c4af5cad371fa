// The estimation log under write failures: the error reaches the caller with
// the user's text, the results of an earlier estimation stay, and the next
// estimation writes the same log again; and a path that is no regular file.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sys/stat.h>

#include "estimation.h"
#include "estimation_support.h"
#include "io_error.h"
#include "least_squares_reference.h"
#include "test_support.h"

namespace kelvo {
namespace {

// A 16-variable table set from records, estimated on all 15 predictors: a
// model of 241 parameters whose log runs to several hundred kilobytes.
std::unique_ptr<TableSet> LargestModel() {
    const test::Records records = test::DrawRecords(5, std::vector<int>(16, 16), 20000);
    return std::make_unique<TableSet>(test::CountPairTables(records));
}

std::vector<int> AllButFirst() {
    std::vector<int> predictors;
    for (int v = 2; v <= MaxVariables; ++v) predictors.push_back(v);
    return predictors;
}

TEST(LogFailureTest, FileSizeLimitPartWayKeepsEarlierResults) {
    test::TempDir dir;
    const auto log = dir / "log";
    auto ts = LargestModel();
    CollectingWarningSink warnings;
    ASSERT_TRUE(test::Estimate(*ts, 1, AllButFirst(), warnings, log));
    const std::string whole = test::ReadFile(log);
    ASSERT_GT(whole.size(), 500000u);
    const double earlier = ts->Coefficients[7][3];

    ts->Coefficients[7][3] = 0.5;  // marks what a failed run must not overwrite
    {
        const test::FileSizeLimit limit(100000);
        try {
            test::Estimate(*ts, 1, AllButFirst(), warnings, log);
            FAIL() << "the log did not fail at the file-size limit";
        } catch (const IoError& e) {
            EXPECT_STREQ(e.what(), "Disk full");
        }
    }
    EXPECT_EQ(ts->Coefficients[7][3], 0.5) << "coefficients are written after the log's first blocks";
    EXPECT_EQ(test::ReadFile(log).size(), 100000u);

    ASSERT_TRUE(test::Estimate(*ts, 1, AllButFirst(), warnings, log));
    EXPECT_EQ(test::ReadFile(log), whole);
    EXPECT_EQ(ts->Coefficients[7][3], earlier);
}

// The log is written only to a regular file: a symbolic link is not followed
// (the file it points to keeps its bytes, a dangling one creates nothing),
// and a folder, a device or a named pipe (which would block) are refused.
TEST(LogFailureTest, LogThatIsNoRegularFileIsRefusedAndNothingChanges) {
    test::TempDir dir;
    test::WriteFile(dir / "notes", "precious notes");
    std::filesystem::create_symlink(dir / "notes", dir / "link");
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const auto ts = test::ReadExample("titanic.tbl");
    CollectingWarningSink warnings;
    for (const auto& [path, reason] : std::vector<std::pair<std::filesystem::path, std::string>>{
             {dir / "link", " (a symbolic link, which is not followed)"},
             {dir / "dangling", " (a symbolic link, which is not followed)"},
             {dir.path(), ""},
             {dir / "pipe", ""},
             {"/dev/full", ""}}) {
        try {
            test::Estimate(*ts, 4, {1, 2}, warnings, path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const IoError& e) {
            EXPECT_EQ(e.what(), "Not a regular file: " + path.string() + reason);
        }
    }
    EXPECT_EQ(test::ReadFile(dir / "notes"), "precious notes");
    EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
    // A regular file behind the same name is written as always.
    std::filesystem::remove(dir / "link");
    EXPECT_TRUE(test::Estimate(*ts, 4, {1, 2}, warnings, dir / "link"));
    EXPECT_TRUE(test::MatchesGolden("estimation_titanic.log", test::ReadFile(dir / "link")));
}

}  // namespace
}  // namespace kelvo
