// The journal of files in flight, and the clean-up after work that ended
// without putting them away.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "archive_test_support.h"
#include "backup/work_journal.h"

namespace gm::backup {
namespace {

namespace fs = std::filesystem;
using gm::test::TempDir;
using test::Tree;

// A work folder with files of the program's own making and the user's.
struct Leftovers {
    TempDir dir;
    fs::path journals = dir.path() / "Journal";
    fs::path backup = dir.mkdir("Backup");
    fs::path game = dir.mkdir("Game");

    // What a killed backup and a killed restore leave, noted in `journal`.
    void leave(WorkJournal& journal) const
    {
        journal.archive(backup / "week 1.zip.tmp");
        test::writeTree(backup, {{"week 1.zip.tmp", "half an archive"},
                                 {"week 1.zip.tmp.Ab12Cd", "libzip's on POSIX"},
                                 {"week 1.zip.tmp.0a1b2c3d", "libzip's on Windows"}});
        journal.temporary(game / ".~a.ini.00ff.tmp");
        test::writeTree(game, {{".~a.ini.00ff.tmp", "half a game file"}});
    }

    // Files no journal names, some of them much like the program's own.
    void putTheUsers() const
    {
        test::writeTree(backup, {{"week 1.zip", "a backup"}, {"week 1.dat", "its index"},
                                 {"week 1.zip.tmp.notes.txt", "the user's"}, {"week 2.zip.tmp.Ab12Cd", "not named"}});
        test::writeTree(game, {{"a.ini", "a game file"}, {".~b.ini.00ff.tmp", "not named"}});
    }

    Tree users() const
    {
        return {{"Backup/week 1.zip", "a backup"},
                {"Backup/week 1.dat", "its index"},
                {"Backup/week 1.zip.tmp.notes.txt", "the user's"},
                {"Backup/week 2.zip.tmp.Ab12Cd", "not named"},
                {"Game/a.ini", "a game file"},
                {"Game/.~b.ini.00ff.tmp", "not named"}};
    }
};

TEST(WorkJournal, WhatEndedWorkLeftIsRemovedAndNothingElse)
{
    const Leftovers folder;
    folder.putTheUsers();
    {
        // Work that ended without putting its files away (an exception, say).
        WorkJournal ended(folder.journals);
        folder.leave(ended);
    }
    {
        // Work still going on, and work that put everything away.
        WorkJournal running(folder.journals);
        running.temporary(folder.game / ".~running.tmp");
        test::writeTree(folder.game, {{".~running.tmp", "in flight"}});
        WorkJournal finished(folder.journals);
        finished.temporary(folder.game / ".~c.ini.00ff.tmp");
        finished.finish();

        EXPECT_EQ(cleanUpEndedWork(folder.journals), 1);
        Tree expected = folder.users();
        expected["Game/.~running.tmp"] = "in flight";
        Tree now = test::readTree(folder.dir.path());
        std::erase_if(now, [](const auto& file) { return file.first.starts_with("Journal/"); });
        EXPECT_EQ(now, expected);
        running.finish();
    }
    EXPECT_EQ(cleanUpEndedWork(folder.journals), 0);
    EXPECT_FALSE(fs::exists(folder.journals)) << "the empty journal folder stays";
}

TEST(WorkJournal, ARestoreThatDidNotReachItsEndIsPutBackAndOneThatDidLosesWhatWasAside)
{
    for (const bool reachedTheEnd : {false, true}) {
        SCOPED_TRACE(reachedTheEnd ? "committed" : "ended half way");
        const Leftovers folder;
        const fs::path& game = folder.game;
        {
            WorkJournal journal(folder.journals);
            // Puts a new file in place as a restore does: noted, then
            // renamed onto its target (the old file moved aside first).
            const auto place = [&](const std::string& name, const std::string& bytes, bool replaces) {
                if (replaces) {
                    journal.aside(game / name, game / (".~" + name + ".old"));
                    fs::rename(game / name, game / (".~" + name + ".old"));
                }
                test::writeTree(game, {{".~" + name + ".tmp", bytes}});
                journal.placing(game / name, game / (".~" + name + ".tmp"));
                fs::rename(game / (".~" + name + ".tmp"), game / name);
            };
            test::writeTree(game, {{"a.ini", "old a"}, {"c.ini", "old c"}, {"e.ini", "old e"}, {"g.ini", "old g"}});
            fs::permissions(game / "a.ini", fs::perms::owner_read, fs::perm_options::replace);
            place("a.ini", "new a", true);  // replaced, its old bytes aside
            place("b.ini", "new b", false);  // new
            // c.ini was about to be moved aside when the work ended.
            journal.aside(game / "c.ini", game / ".~c.ini.old");
            // d.ini new and e.ini replaced, both written again since.
            place("d.ini", "new d", false);
            place("e.ini", "new e", true);
            // f.ini noted, but the work ended before its rename.
            test::writeTree(game, {{".~f.ini.tmp", "new f"}});
            journal.temporary(game / ".~f.ini.tmp");
            journal.placing(game / "f.ini", game / ".~f.ini.tmp");
            // g.ini moved aside, its new file never placed; a file of that
            // name was written since.
            journal.aside(game / "g.ini", game / ".~g.ini.old");
            fs::rename(game / "g.ini", game / ".~g.ini.old");
            if (reachedTheEnd) {
                journal.committed();
            }
        }
        // The game writes d.ini and e.ini again, one of the same size, and
        // makes a g.ini of its own.
        test::writeTree(game, {{"d.ini", "NEW D"}, {"e.ini", "the game's e"}, {"g.ini", "game g"}});
        fs::last_write_time(game / "d.ini", fs::last_write_time(game / "d.ini") + std::chrono::seconds(5));

        EXPECT_EQ(cleanUpEndedWork(folder.journals), 1);
        const Tree expected =
            reachedTheEnd
                ? Tree{{"a.ini", "new a"}, {"b.ini", "new b"}, {"c.ini", "old c"}, {"d.ini", "NEW D"},
                       {"e.ini", "the game's e"}, {"g.ini", "game g"}}
                : Tree{{"a.ini", "old a"}, {"c.ini", "old c"}, {"d.ini", "NEW D"}, {"e.ini", "the game's e"},
                       {".~e.ini.old", "old e"}, {"g.ini", "game g"}, {".~g.ini.old", "old g"}};
        EXPECT_EQ(test::readTree(game), expected);
    }
}

TEST(WorkJournal, AKilledProcessLeavesAJournalTheNextCleanUpFinds)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs fork() to end a process in the middle of its work; on Windows the in-process "
                    "clean-up tests cover the journal, and QLockFile finds a dead process the same way";
#else
    const Leftovers folder;
    folder.putTheUsers();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Killed in the middle: no destructor, no clean-up.
        auto* journal = new WorkJournal(folder.journals);
        folder.leave(*journal);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(fs::exists(folder.backup / "week 1.zip.tmp.Ab12Cd"));
    EXPECT_EQ(cleanUpEndedWork(folder.journals), 1);
    EXPECT_EQ(test::readTree(folder.dir.path()), folder.users());
#endif
}

}  // namespace
}  // namespace gm::backup
