#include "state_folder.h"

#include <gtest/gtest.h>

#include "io_error.h"
#include "test_support.h"

namespace kelvo {
namespace {

namespace fs = std::filesystem;

TEST(StateFolderTest, FollowsTheFreedesktopRules) {
    EXPECT_EQ(StateFolderFor("/state", "/home/u"), fs::path("/state/kelvo"));
    // A relative XDG_STATE_HOME is ignored; without HOME there is none.
    EXPECT_EQ(StateFolderFor("state", "/home/u"), fs::path("/home/u/.local/state/kelvo"));
    EXPECT_EQ(StateFolderFor(nullptr, "/home/u"), fs::path("/home/u/.local/state/kelvo"));
    EXPECT_EQ(StateFolderFor("", "relative"), fs::path());
}

TEST(StateFolderTest, MadeFoldersArePrivateAndOthersAreLeftAlone) {
    test::TempDir dir;
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    MakePrivateFolders(dir / "state/kelvo");
    for (const fs::path& made : {dir / "state", dir / "state/kelvo"})
        EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
    EXPECT_EQ(fs::status(dir.path()).permissions(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    MakePrivateFolders(dir / "state/kelvo");  // already there: nothing to do

    // A file where a folder should be.
    test::WriteFile(dir / "file", "x");
    EXPECT_THROW(MakePrivateFolders(dir / "file/kelvo"), IoError);
    EXPECT_THROW(MakePrivateFolders(dir / "file"), IoError);
    EXPECT_EQ(test::ReadFile(dir / "file"), "x");
}

}  // namespace
}  // namespace kelvo
