#include "journal_writer.h"
#include "recovery_folder.h"
#include "recovery_journal.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io_error.h"
#include "table_set_file.h"
#include "test_support.h"
#include "text_file.h"

namespace kelvo {
namespace {

namespace fs = std::filesystem;

Journal TitanicJournal(const std::string& path) {
    return Journal{path, 1'765'000'000, TableSetText(*test::ReadExample("titanic.tbl"))};
}

void MakeOld(const fs::path& file, int seconds) {
    timespec times[2];
    times[0].tv_sec = times[1].tv_sec = ::time(nullptr) - seconds;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(RecoveryJournalTest, RoundTripKeepsAnyPathAndTheWholeTableSet) {
    // A path may hold spaces, "%", line ends and bytes beyond ASCII.
    const std::string path = "/data/50% survey\n2006/caf\xC3\xA9 x.tbl";
    const Journal written = TitanicJournal(path);
    const Journal read = ParseJournal(JournalText(written));
    EXPECT_EQ(read.tableSetPath, path);
    EXPECT_EQ(read.time, written.time);
    EXPECT_EQ(read.tableSetText, written.tableSetText);

    TableSet ts;
    ts.ReportFileName = "kept.html";
    ts.ResultsAvailable = true;
    RecoverTableSet(ts, read);
    EXPECT_EQ(TableSetText(ts), written.tableSetText);
    EXPECT_EQ(ts.FileName, path);
    EXPECT_EQ(ts.FileBaseName, "caf\xC3\xA9 x");
    EXPECT_TRUE(ts.TableSetOpen);
    EXPECT_TRUE(ts.TableSetModified);
    EXPECT_FALSE(ts.ResultsAvailable);
    EXPECT_EQ(ts.ReportFileName, "kept.html");
}

TEST(RecoveryJournalTest, AnythingButAWholeJournalIsDamaged) {
    const std::string whole = JournalText(TitanicJournal("/data/titanic.tbl"));
    std::vector<std::string> damaged;
    // Cut short anywhere: in the header, between lines, in the table set.
    for (std::size_t cut = 0; cut < whole.size(); cut += 7) damaged.push_back(whole.substr(0, cut));
    damaged.push_back(whole + "7");
    damaged.push_back("KELVO recovery journal 2" + whole.substr(whole.find('\n')));
    std::string badTime = whole;
    badTime.replace(badTime.find("time ") + 5, 1, "x");
    damaged.push_back(badTime);
    // A table set that reads only with a warning is not one KELVO wrote.
    const std::string body = "1\r\nA\r\n2\r\nx\r\ny\r\nnot a header\r\n";
    damaged.push_back("KELVO recovery journal 1\npath /a.tbl\ntime 1\nsize " + std::to_string(body.size()) + "\n" +
                      body);
    for (const std::string& text : damaged) {
        try {
            ParseJournal(text);
            ADD_FAILURE() << "read as a journal: " << text.size() << " bytes";
        } catch (const IoError& error) {
            EXPECT_STREQ(error.what(), "Damaged recovery file");
        }
    }
    TableSet ts = *test::ReadExample("titanic.tbl");
    const std::string before = TableSetText(ts);
    Journal bad = TitanicJournal("/a.tbl");
    bad.tableSetText = body;
    EXPECT_THROW(RecoverTableSet(ts, bad), IoError);
    EXPECT_EQ(TableSetText(ts), before);
}

TEST(RecoveryJournalTest, FolderAndNames) {
    EXPECT_EQ(RecoveryFolderFor("/state", "/home/u"), fs::path("/state/kelvo/recovery"));
    // A relative XDG_STATE_HOME is ignored.
    EXPECT_EQ(RecoveryFolderFor("state", "/home/u"), fs::path("/home/u/.local/state/kelvo/recovery"));
    EXPECT_EQ(RecoveryFolderFor(nullptr, "/home/u"), fs::path("/home/u/.local/state/kelvo/recovery"));
    EXPECT_EQ(RecoveryFolderFor("", ""), fs::path());

    const fs::path folder = "/state";
    const fs::path one = JournalPath(folder, "/a/survey.tbl");
    EXPECT_EQ(one.parent_path(), folder);
    EXPECT_EQ(JournalPath(folder, "/a/./b/../survey.tbl"), one);
    EXPECT_NE(JournalPath(folder, "/b/survey.tbl"), one);
    const std::string odd = JournalPath(folder, "/a/.hidden name/\n.x*y.tbl").filename().string();
    EXPECT_EQ(odd.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_."),
              std::string::npos)
        << odd;
    EXPECT_NE(odd.front(), '.');
}

TEST(RecoveryJournalTest, FoundNewestFirstWithDamagedOnesKept) {
    test::TempDir dir;
    const fs::path folder = dir / "recovery";
    Journal older = TitanicJournal("/a/old.tbl");
    older.time = 100;
    Journal newer = TitanicJournal("/a/new.tbl");
    newer.time = 200;
    WriteJournal(JournalPath(folder, older.tableSetPath), older);
    WriteJournal(JournalPath(folder, newer.tableSetPath), newer);
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "the recovery folder is the user's alone";

    test::WriteFile(folder / "broken-0000000000000000.journal", "KELVO recovery journal 1\npath");
    test::WriteFile(folder / ".new.tbl-1234.journal.AbC123", "a write in progress");
    test::WriteFile(folder / "notes.txt", "not a journal");
    const auto found = FindJournals(folder);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].journal->tableSetPath, "/a/new.tbl");
    EXPECT_EQ(found[1].journal->tableSetPath, "/a/old.tbl");
    EXPECT_FALSE(found[2].journal.has_value());
    EXPECT_EQ(found[2].error, "Damaged recovery file");
    EXPECT_TRUE(fs::exists(found[2].file));
    EXPECT_TRUE(FindJournals(dir / "none").empty());

    RemoveJournal(found[0].file);
    EXPECT_FALSE(fs::exists(found[0].file));
    EXPECT_NO_THROW(RemoveJournal(found[0].file));
}

// A run never writes over a journal that another run left: its own takes
// the next free name, and every such name is known as the file's own.
TEST(RecoveryJournalTest, EachRunTakesAFreeName) {
    test::TempDir dir;
    const std::string survey = "/a/survey.tbl";
    const fs::path first = JournalPath(dir.path(), survey);
    EXPECT_EQ(FreeJournalPath(dir.path(), survey), first);
    test::WriteFile(first, "left by a run before");
    const fs::path second = FreeJournalPath(dir.path(), survey);
    EXPECT_NE(second, first);
    EXPECT_EQ(second.parent_path(), dir.path());
    test::WriteFile(second, "left by another");
    const fs::path third = FreeJournalPath(dir.path(), survey);
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
    for (const fs::path& name : {first, second, third}) {
        EXPECT_TRUE(IsJournalNameOf(name, survey)) << name;
        EXPECT_FALSE(IsJournalNameOf(name, "/b/survey.tbl")) << name;
    }
    // Not journals of the file: set aside, temporary, or named otherwise.
    const std::string stem = first.stem().string();
    for (const std::string& other : {stem + ".damaged-20261208-101500", "." + stem + ".journal.AbC123",
                                     stem + "-x.journal", stem + "-.journal", stem + ".lock"})
        EXPECT_FALSE(IsJournalNameOf(dir / other, survey)) << other;
}

// The lock follows the file, not the spelling of its path.
TEST(RecoveryJournalTest, OneLockForEveryPathToAFile) {
    test::TempDir dir;
    test::WriteFile(dir / "survey.tbl", "");
    fs::create_directory(dir / "real");
    fs::create_directory_symlink(dir / "real", dir / "link");
    const fs::path lock = LockPath(dir / "state", (dir / "real" / "x.tbl").string());
    EXPECT_EQ(lock.parent_path(), dir / "state");
    EXPECT_EQ(LockPath(dir / "state", (dir / "link" / "x.tbl").string()), lock);
    EXPECT_EQ(LockPath(dir / "state", (dir / "real" / ".." / "real" / "x.tbl").string()), lock);
    EXPECT_NE(LockPath(dir / "state", (dir / "survey.tbl").string()), lock);
    EXPECT_NE(lock, JournalPath(dir / "state", (dir / "real" / "x.tbl").string()));
}

// A journal that cannot be read is moved aside, byte for byte, never over
// another one; FindJournals no longer lists it, and no later journal of its
// file takes its name.
TEST(RecoveryJournalTest, DamagedJournalIsSetAsideUnderANameOfItsOwn) {
    test::TempDir dir;
    const fs::path folder = dir / "recovery";
    const std::string survey = "/a/survey.tbl";
    const std::string damaged = "KELVO recovery journal 1\npath /a/survey.tbl\ntime 1\nsize 99\n4\r\n";
    fs::create_directories(folder);
    std::vector<fs::path> aside;
    for (int round = 0; round < 2; ++round) {
        const fs::path file = FreeJournalPath(folder, survey);
        test::WriteFile(file, damaged + std::to_string(round));
        ASSERT_EQ(FindJournals(folder).size(), 1u);
        aside.push_back(SetAsideDamagedJournal(file, 1'765'200'000));
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(test::ReadFile(aside.back()), damaged + std::to_string(round));
        EXPECT_EQ(aside.back().parent_path(), folder);
        EXPECT_NE(aside.back().filename().string().find(".damaged-"), std::string::npos) << aside.back();
        EXPECT_TRUE(FindJournals(folder).empty());
        EXPECT_EQ(FreeJournalPath(folder, survey), JournalPath(folder, survey));
    }
    // The same second: the second one is numbered, the first kept.
    EXPECT_NE(aside[0], aside[1]);
    EXPECT_EQ(test::ReadFile(aside[0]), damaged + "0");
    EXPECT_THROW(SetAsideDamagedJournal(folder / "gone.journal", 1), IoError);
}

// What the program submits: a copy of the table set's input side.
std::unique_ptr<const InputSide> Snapshot(const TableSet& ts) { return std::make_unique<const InputSide>(ts); }

TEST(JournalWriterTest, WritesTheNewestAndRemoveLeavesNothingBehind) {
    test::TempDir dir;
    const fs::path file = JournalPath(dir / "recovery", "/a/survey.tbl");
    std::vector<std::string> failures;
    JournalWriter writer([&failures](const std::string& text) { failures.push_back(text); });
    // Fifty changes in a burst, each a different table set.
    auto ts = test::ReadExample("titanic.tbl");
    for (int i = 0; i < 50; ++i) {
        ts->PairTables[1][1][1] = i;
        writer.Submit(file, "/a/survey.tbl", i, Snapshot(*ts));
    }
    writer.Flush();
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(ReadJournal(file).time, 49);
    EXPECT_EQ(ReadJournal(file).tableSetText, TableSetText(*ts));
    EXPECT_GE(writer.Writes(), 1);
    EXPECT_LE(writer.Writes(), 50);

    // A journal still waiting when the table set is saved must never be
    // written after the removal.
    const auto titanic = test::ReadExample("titanic.tbl");
    for (int i = 0; i < 20; ++i) {
        writer.Submit(file, "/a/survey.tbl", i, Snapshot(i % 2 == 1 ? *ts : *titanic));
        writer.Remove(file);
        writer.Flush();
        ASSERT_FALSE(fs::exists(file)) << "round " << i;
    }
}

TEST(JournalWriterTest, ATableSetAlreadyWrittenIsNotWrittenAgainUntilRemoved) {
    test::TempDir dir;
    const fs::path file = JournalPath(dir / "recovery", "/a/survey.tbl");
    JournalWriter writer([](const std::string& text) { ADD_FAILURE() << text; });
    const auto ts = test::ReadExample("titanic.tbl");
    const auto submit = [&](std::int64_t time) {
        writer.Submit(file, "/a/survey.tbl", time, Snapshot(*ts));
        writer.Flush();
    };
    submit(1);
    submit(2);  // nothing new
    EXPECT_EQ(writer.Writes(), 1);
    EXPECT_EQ(ReadJournal(file).time, 1);
    EXPECT_EQ(ReadJournal(file).tableSetText, TableSetText(*ts));
    // After a save removed it, the same table set must be written again.
    writer.Remove(file);
    submit(3);
    EXPECT_EQ(writer.Writes(), 2);
    EXPECT_EQ(ReadJournal(file).time, 3);
    ts->PairTables[1][1][1] += 1;
    submit(4);
    EXPECT_EQ(writer.Writes(), 3);
    EXPECT_EQ(ReadJournal(file).tableSetText, TableSetText(*ts));
}

TEST(JournalWriterTest, AFailedWriteIsReportedAndTheNextOneWorks) {
    test::TempDir dir;
    // The state folder's place is taken by a file: the folder cannot be made.
    test::WriteFile(dir / "state", "a file");
    const fs::path blocked = JournalPath(dir / "state" / "recovery", "/a/survey.tbl");
    std::vector<std::string> failures;
    JournalWriter writer([&failures](const std::string& text) { failures.push_back(text); });
    const auto ts = test::ReadExample("titanic.tbl");
    writer.Submit(blocked, "/a/survey.tbl", 1, Snapshot(*ts));
    writer.Flush();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_FALSE(failures[0].empty());
    EXPECT_EQ(writer.Writes(), 0);

    {
        const test::FileSizeLimit full(100);
        writer.Submit(JournalPath(dir / "recovery", "/a/survey.tbl"), "/a/survey.tbl", 1, Snapshot(*ts));
        writer.Flush();
    }
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[1], "Disk full");
    EXPECT_FALSE(fs::exists(JournalPath(dir / "recovery", "/a/survey.tbl")));

    writer.Submit(JournalPath(dir / "recovery", "/a/survey.tbl"), "/a/survey.tbl", 1, Snapshot(*ts));
    writer.Flush();
    EXPECT_EQ(failures.size(), 2u);
    EXPECT_EQ(writer.Writes(), 1);
    // Only the journal and no temporary file of the failed writes.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir / "recovery")) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(StaleTemporaryFilesTest, OnlyOldFilesOfTheTargetsOwnPatternGo) {
    test::TempDir dir;
    const fs::path target = dir / "x.tbl";
    const std::vector<std::string> ours = {".x.tbl.AbC123", ".x.tbl.000000", ".x.tbl.zzzzzz"};
    const std::vector<std::string> others = {
        ".x.tbl.AbC12",    // five characters
        ".x.tbl.AbC1234",  // seven
        ".x.tbl.AbC-12",   // not a letter or digit
        "x.tbl.AbC123",    // not hidden
        ".y.tbl.AbC123",   // another target
        ".x.tbl.swp",      // an editor's
    };
    for (const auto& name : ours) test::WriteFile(dir / name, "part of a killed write");
    for (const auto& name : others) test::WriteFile(dir / name, "someone else's");
    for (const auto& name : ours) MakeOld(dir / name, 120);
    for (const auto& name : others) MakeOld(dir / name, 120);
    // Not removed: a young one (a write in progress), a folder, a link.
    test::WriteFile(dir / ".x.tbl.Young1", "being written");
    fs::create_directory(dir / ".x.tbl.Folder");
    MakeOld(dir / ".x.tbl.Folder", 120);
    fs::create_symlink(dir / "elsewhere", dir / ".x.tbl.Link12");
    MakeOld(dir / ".x.tbl.Link12", 120);
    if (::geteuid() == 0) {
        test::WriteFile(dir / ".x.tbl.Nobody", "another user's");
        ASSERT_EQ(::chown((dir / ".x.tbl.Nobody").c_str(), 65534, 65534), 0);
        MakeOld(dir / ".x.tbl.Nobody", 120);
    }

    TableSet ts = *test::ReadExample("titanic.tbl");
    ts.FileName = target.string();
    WriteTableSet(ts);
    EXPECT_EQ(test::ReadFile(target), TableSetText(ts));
    for (const auto& name : ours) EXPECT_FALSE(fs::exists(dir / name)) << name;
    for (const auto& name : others) EXPECT_TRUE(fs::exists(dir / name)) << name;
    EXPECT_TRUE(fs::exists(dir / ".x.tbl.Young1"));
    EXPECT_TRUE(fs::is_directory(dir / ".x.tbl.Folder"));
    EXPECT_TRUE(fs::is_symlink(dir / ".x.tbl.Link12"));
    if (::geteuid() == 0) {
        EXPECT_TRUE(fs::exists(dir / ".x.tbl.Nobody"));
    }
}

}  // namespace
}  // namespace kelvo
