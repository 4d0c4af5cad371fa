#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::RunCli;

const std::string Titanic = test::SourcePath("examples/titanic.tbl").string();

TEST(CliShowTest, ListsVariablesAndCategories) {
    const auto result = RunCli({"show", Titanic});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "1 Class (4 categories): 1st, 2nd, 3rd, Crew\n"
              "2 Sex (2 categories): Male, Female\n"
              "3 Age (2 categories): Child, Adult\n"
              "4 Survived (2 categories): No, Yes\n");
    EXPECT_EQ(result.err, "");
}

TEST(CliShowTest, JsonHoldsTablesInPairOrderWithEscapedLatin1Names) {
    test::TempDir dir;
    // Variable names with a quote and a Latin-1 byte (e with acute accent).
    test::WriteFile(dir / "names.tbl", "2\r\nA\"q\r\n2\r\nx\r\ny\r\nCaf\xE9\r\n2\r\nu\r\nv\r\nCaf\xE9*A\"q\r\n1 2\r\n3 4\r\n");
    const auto result = RunCli({"show", (dir / "names.tbl").string(), "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["variables"][0]["name"], "A\"q");
    EXPECT_EQ(json["variables"][1]["name"], "Caf\u00e9");
    ASSERT_EQ(json["tables"].size(), 1u);
    EXPECT_EQ(json["tables"][0]["index"], 1);
    EXPECT_EQ(json["tables"][0]["rows"], "Caf\u00e9");
    EXPECT_EQ(json["tables"][0]["cells"], nlohmann::json::parse("[[1,2],[3,4]]"));
}

TEST(CliShowTest, ErrorsAndWarningsGoToStderr) {
    test::TempDir dir;
    auto result = RunCli({"show", (dir / "missing.tbl").string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "kelvo-cli: File not found\n");
    EXPECT_EQ(result.out, "");

    test::WriteFile(dir / "bad.tbl", "1\r\nA\r\n2\r\na\r\nb\r\n\r\n");
    result = RunCli({"show", (dir / "bad.tbl").string()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "warning: Incorrect table specification: \n");

    result = RunCli({"frobnicate"});
    EXPECT_EQ(result.status, 2);
    EXPECT_FALSE(result.err.empty());
    EXPECT_EQ(RunCli({"--version"}).status, 0);
    EXPECT_EQ(RunCli({"--help"}).status, 0);
}

TEST(CliCopyTest, RewritesInStandardLayout) {
    test::TempDir dir;
    test::WriteFile(dir / "in.tbl", "2\nA\n2\na\nb\nB\n2\nc\nd\nA*B\n1 2\n3 4\n");
    const auto out = (dir / "out.tbl").string();
    const auto result = RunCli({"copy", (dir / "in.tbl").string(), out});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(test::ReadFile(out), "2\r\nA\r\n2\r\na\r\nb\r\nB\r\n2\r\nc\r\nd\r\nB*A\r\n"
                                   "         1          3 \r\n         2          4 \r\n");
}

TEST(CliCopyTest, UnreadableInputWritesNothing) {
    test::TempDir dir;
    test::WriteFile(dir / "in.tbl", "2\nA\n2\na\nb\nB\n2\nc\nd\nB*A\n1 x\n");
    const auto out = dir / "out.tbl";
    const auto result = RunCli({"copy", (dir / "in.tbl").string(), out.string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "kelvo-cli: Invalid numeric input\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace kelvo
