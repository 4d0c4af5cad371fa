#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "cli_runner.h"
#include "largest_table_set.h"
#include "table_set_file.h"
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
    // The usage names the program, not the path it was started by.
    const auto help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("\nUsage: kelvo-cli [OPTIONS] SUBCOMMAND\n"), std::string::npos) << help.out;
    EXPECT_EQ(help.out.find(KELVO_CLI_PATH), std::string::npos) << help.out;
    const auto reportHelp = RunCli({"report", "--help"});
    EXPECT_NE(reportHelp.out.find("Usage: kelvo-cli report [OPTIONS] FILE"), std::string::npos) << reportHelp.out;
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

// The hidden temporary files of writes killed part-way.
std::vector<std::filesystem::path> Leftovers(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename().string().rfind(".out.tbl.", 0) == 0) found.push_back(entry.path());
    return found;
}

TEST(CliCopyTest, KilledCopiesLeaveNothingAfterTheNextOne) {
    test::TempDir dir;
    const auto largest = test::MakeLargestTableSet();
    largest->FileName = (dir / "in.tbl").string();
    WriteTableSet(*largest);
    const std::string in = largest->FileName;
    const std::string out = (dir / "out.tbl").string();
    // One left by hand, so that there is always one; the killed runs add
    // theirs.
    test::WriteFile(dir / ".out.tbl.Killed", "part of a table set");
    std::mt19937 random(7);
    for (int run = 0; run < 30; ++run) {
        const char* argv[] = {KELVO_CLI_PATH, "copy", in.c_str(), out.c_str(), nullptr};
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, KELVO_CLI_PATH, nullptr, nullptr, const_cast<char**>(argv), environ), 0);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    // Younger than a minute they may be writes in progress: they stay.
    const auto left = Leftovers(dir.path());
    ASSERT_FALSE(left.empty());
    ASSERT_EQ(RunCli({"copy", in, out}).status, 0);
    EXPECT_EQ(Leftovers(dir.path()).size(), left.size());

    for (const auto& file : left) {
        timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
    }
    const auto result = RunCli({"copy", in, out});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Leftovers(dir.path()).empty());
    EXPECT_EQ(test::ReadFile(out), TableSetText(*largest));
}

}  // namespace
}  // namespace kelvo
