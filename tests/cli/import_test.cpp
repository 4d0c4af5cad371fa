#include <gtest/gtest.h>

#include "cli_runner.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::RunCli;

TEST(CliImportTest, WritesTheTableSet) {
    test::TempDir dir;
    const auto out = (dir / "titanic.tbl").string();
    const auto result = RunCli({"import-csv", test::SourcePath("examples/titanic.csv").string(), "--weight", "Count", "-o", out});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(test::ReadFile(out), test::ReadFile(test::SourcePath("examples/titanic.tbl")));
}

TEST(CliImportTest, RefusalWritesNothingAndKeepsAnOldFile) {
    test::TempDir dir;
    test::WriteFile(dir / "data.csv", "A,B\nx,y\nx\n");
    const auto out = dir / "out.tbl";
    auto result = RunCli({"import-csv", (dir / "data.csv").string(), "-o", out.string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("Line 3 has 1 fields, the header has 2"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    test::WriteFile(out, "old");
    result = RunCli({"import-csv", (dir / "data.csv").string(), "-o", out.string(), "--variables", "A,Nope"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(test::ReadFile(out), "old");
}

}  // namespace
}  // namespace kelvo
