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

// A name or value with a control character is refused from a real file by
// both importers of files: exit status 2, the message, and no file.
struct ControlCase {
    const char* name;
    const char* command;
    std::string contents;
    const char* message;
};

void PrintTo(const ControlCase& c, std::ostream* os) { *os << c.name; }

class CliControlCharacterTest : public ::testing::TestWithParam<ControlCase> {};

TEST_P(CliControlCharacterTest, RefusedWithExitStatus2AndNoFile) {
    const ControlCase& c = GetParam();
    test::TempDir dir;
    test::WriteFile(dir / "in.csv", c.contents);
    const auto out = dir / "out.tbl";
    const auto result = RunCli({c.command, (dir / "in.csv").string(), "-o", out.string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Files, CliControlCharacterTest,
    ::testing::Values(
        ControlCase{"CsvName", "import-csv", "Sex,\"Reg\nion\"\nMale,\"No\nrth\"\nFemale,South\n",
                    "Variable name \"Reg\\nion\" holds a line end (line 2)"},
        ControlCase{"CsvValue", "import-csv", "Sex,Region\nMale,\"No\nrth\"\nFemale,South\n",
                    "Value in column \"Region\": \"No\\nrth\" holds a line end (line 3)"},
        ControlCase{"CountsValue", "import-counts",
                    "kelvo_set,A,B,kelvo_count\n0,:x,:p,3\n0,\":y\tz\",:p,4\n",
                    "Value in column \"A\": \"y\\tz\" holds a tab (line 3)"},
        ControlCase{"CountsName", "import-counts", std::string("kelvo_set,A\0,B,kelvo_count\n0,:x,:p,3\n", 37),
                    "Variable name \"A\\0\" holds a NUL character (line 1)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvo
