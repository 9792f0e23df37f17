// A restore in one call: files equal to the archive are left alone, the
// ones it replaces are kept in the undo backup first, and a file the undo
// backup cannot hold stops it before anything is written.
#include <gtest/gtest.h>

#include <chrono>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "archive_test_support.h"
#include "backup/backup_files.h"
#include "backup/backup_index.h"
#include "backup/make_backup.h"
#include "backup/restore_backup.h"
#include "backup/zip_builder.h"
#include "support/failing_writes.h"

namespace gm::backup {
namespace {

namespace fs = std::filesystem;
using test::Tree;

fs::file_time_type fileTime(std::int64_t seconds)
{
    return std::chrono::time_point_cast<fs::file_time_type::duration>(
        std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(seconds))));
}

// A game folder on a drive of the test's own, with its backup folder.
struct Game {
    test::FakeDrive drive;
    fs::path folder = drive.folder / "Quillon" / "Gridmark";
    fs::path backups = drive.dir.mkdir("Backup");
    fs::path journals = drive.dir.path() / "Journal";

    fs::path path(const std::string& relative) const { return platform::appendGamePath(folder, relative); }

    void put(const std::string& relative, const std::string& bytes) const
    {
        fs::create_directories(path(relative).parent_path());
        gm::test::writeBytes(path(relative), bytes);
    }

    std::string read(const std::string& relative) const { return gm::test::readBytes(path(relative)); }

    void backUp(const std::string& name, const std::vector<std::string>& relatives) const
    {
        BackupRequest request;
        request.backupFolder = backups;
        request.name = name;
        request.files = gameFiles(folder, relatives);
        WorkProgress progress;
        ASSERT_EQ(makeBackup(request, progress).status, BackupStatus::Made);
    }

    RestoreRequest request(const std::string& name) const
    {
        RestoreRequest request;
        request.backupFolder = backups;
        request.name = name;
        request.root = drive.root;
        request.gameDirectory = folder;
        request.undoName = undoNameFor(backups, name, std::chrono::system_clock::now());
        request.journalFolder = journals;
        return request;
    }

    RestoreOutcome restore(const std::string& name, UnzipQuestions* questions = nullptr) const
    {
        RestoreProgress progress;
        return restoreBackup(request(name), questions, progress);
    }
};

TEST(RestoreBackup, FilesEqualToTheArchiveAreLeftAsTheyAreAndOnlyTheReplacedOnesAreKept)
{
    Game game;
    std::mt19937 random(5);
    const std::string replay = test::gameBytes(random, 300000);
    const std::string setup = test::gameBytes(random, 4000);
    game.put("\\replay\\r.rpy", replay);
    game.put("\\players\\Ann\\setup.svm", setup);
    game.put("\\players\\Ann\\playrecs.ini", "strength=95");
    game.put("\\tracks\\atlanta\\track.ini", "grip=1.00");
    const std::vector<std::string> files = {"\\replay\\r.rpy", "\\players\\Ann\\setup.svm",
                                            "\\players\\Ann\\playrecs.ini", "\\tracks\\atlanta\\track.ini"};
    game.backUp("base", files);

    // The replay as it was backed up, but written at another time; the
    // setup edited within its size; the records longer; the track gone.
    fs::last_write_time(game.path("\\replay\\r.rpy"), fileTime(1500000000));
    std::string edited = setup;
    edited[2000] = static_cast<char>(edited[2000] ^ 0x11);
    game.put("\\players\\Ann\\setup.svm", edited);
    game.put("\\players\\Ann\\playrecs.ini", "strength=100");
    fs::remove(game.path("\\tracks\\atlanta\\track.ini"));

    RestoreProgress progress;
    const RestoreOutcome outcome = restoreBackup(game.request("base"), nullptr, progress);
    ASSERT_EQ(outcome.status, RestoreStatus::Restored) << outcome.log;
    EXPECT_EQ(outcome.fileCount, 4u);
    EXPECT_EQ(outcome.filesRestored, 4u);
    EXPECT_EQ(outcome.filesWritten, 3u);
    EXPECT_EQ(game.read("\\replay\\r.rpy"), replay);
    EXPECT_EQ(fs::last_write_time(game.path("\\replay\\r.rpy")), fileTime(1500000000)) << "rewritten";
    EXPECT_EQ(game.read("\\players\\Ann\\setup.svm"), setup);
    EXPECT_EQ(game.read("\\players\\Ann\\playrecs.ini"), "strength=95");
    EXPECT_EQ(game.read("\\tracks\\atlanta\\track.ini"), "grip=1.00");
    // Read to be compared: the files of the entries' sizes.
    EXPECT_EQ(progress.compare.bytesTotal, replay.size() + setup.size());
    EXPECT_EQ(progress.amount().done, progress.amount().total);

    // The undo backup holds the two files it replaced, as they were.
    ASSERT_FALSE(outcome.undoName.empty());
    EXPECT_EQ(readIndexFile(indexPath(game.backups, outcome.undoName)),
              (std::vector<std::string>{"\\players\\Ann\\setup.svm", "\\players\\Ann\\playrecs.ini"}));
    EXPECT_EQ(test::archiveContents(archivePath(game.backups, outcome.undoName)),
              (Tree{{entryNameFor(game.path("\\players\\Ann\\setup.svm")), edited},
                    {entryNameFor(game.path("\\players\\Ann\\playrecs.ini")), "strength=100"}}));

    // Restored again, nothing differs: nothing is written, no undo backup
    // made, no journal left.
    const auto backupFiles = test::readTree(game.backups);
    const RestoreOutcome again = game.restore("base");
    EXPECT_EQ(again.status, RestoreStatus::Restored);
    EXPECT_EQ(again.filesRestored, 4u);
    EXPECT_EQ(again.filesWritten, 0u);
    EXPECT_TRUE(again.undoName.empty());
    EXPECT_EQ(test::readTree(game.backups), backupFiles);
    EXPECT_FALSE(fs::exists(game.journals));
}

TEST(RestoreBackup, AnEntryWithoutACrcIsComparedByItsBytes)
{
    // 7-Zip's AES entries carry no CRC (their MAC protects the data). Their
    // names lie below "Game/", so the restore writes below a folder of the
    // test's own.
    Game game;
    fs::copy_file(platform::toPath(test::fixture("aes-7zip.zip")), archivePath(game.backups, "aes"));
    RestoreRequest request = game.request("aes");
    request.root = game.drive.dir.mkdir("target");
    request.gameDirectory = request.root;
    const ArchiveListing listing = listArchive(platform::fromPath(archivePath(game.backups, "aes")));
    ASSERT_TRUE(listing.ok);
    for (const ArchiveEntry& entry : listing.entries) {
        ASSERT_EQ(entry.crc, 0u) << entry.name;
    }
    std::string small;
    for (int i = 0; i < 100; ++i) {
        small += "strength=95\r\n";
    }
    const fs::path folder = request.root / "Game";
    test::writeTree(folder, {{"tiny.ini", "tiny"}, {"replay.rpy", test::pattern(30000)}, {"small.ini", small}});
    // The same size, another byte.
    std::string edited = small;
    edited[700] = '4';
    gm::test::writeBytes(folder / "small.ini", edited);
    for (const char* name : {"tiny.ini", "replay.rpy", "small.ini"}) {
        fs::last_write_time(folder / name, fileTime(1500000000));
    }

    test::ScriptedQuestions questions;
    questions.passwords = {std::string("s3cret")};
    RestoreProgress progress;
    const RestoreOutcome outcome = restoreBackup(request, &questions, progress);
    ASSERT_EQ(outcome.status, RestoreStatus::Restored) << outcome.log;
    EXPECT_EQ(questions.passwordAsked.size(), 1u);
    EXPECT_EQ(outcome.filesWritten, 1u);
    EXPECT_EQ(gm::test::readBytes(folder / "small.ini"), small);
    EXPECT_EQ(fs::last_write_time(folder / "tiny.ini"), fileTime(1500000000));
    EXPECT_EQ(fs::last_write_time(folder / "replay.rpy"), fileTime(1500000000));
}

TEST(RestoreBackup, OnceTheFilesAreComparedTheBarStillShowsTheUndoBackupAndTheUnpackingToCome)
{
    // An encrypted entry's password is asked once the files are compared,
    // before anything is packed or unpacked: the moment to look at the bar.
    Game game;
    std::mt19937 random(9);
    const std::string replay = test::gameBytes(random, 300000);
    const fs::path archive = archivePath(game.backups, "locked");
    test::writeArchive(archive, {{entryNameFor(game.path("\\replay\\r.rpy")), replay}}, "k3y");
    const ArchiveListing listing = listArchive(platform::fromPath(archive));
    ASSERT_TRUE(listing.ok);
    ASSERT_NE(listing.entries.at(0).crc, 0u) << "compared by its bytes, which needs the password first";
    std::string edited = replay;
    edited[1000] = static_cast<char>(edited[1000] ^ 0x40);
    game.put("\\replay\\r.rpy", edited);

    struct Questions : test::ScriptedQuestions {
        RestoreProgress* progress = nullptr;
        RestoreProgress::Amount shown;
        std::uint64_t compared = 0;
        std::optional<std::string> password(const std::string& entryName) override
        {
            shown = progress->amount();
            compared = progress->compare.bytesDone;
            return test::ScriptedQuestions::password(entryName);
        }
    } questions;
    RestoreProgress progress;
    questions.progress = &progress;
    questions.passwords = {std::string("k3y")};
    const RestoreOutcome outcome = restoreBackup(game.request("locked"), &questions, progress);
    ASSERT_EQ(outcome.status, RestoreStatus::Restored) << outcome.log;
    EXPECT_EQ(game.read("\\replay\\r.rpy"), replay);
    ASSERT_EQ(questions.passwordAsked.size(), 1u);
    EXPECT_EQ(questions.compared, replay.size());
    EXPECT_GT(questions.shown.done, 0u);
    EXPECT_LT(questions.shown.done, questions.shown.total) << "the bar was full with the undo backup and the "
                                                              "unpacking still to come";
    EXPECT_EQ(progress.amount().done, progress.amount().total);
}

TEST(RestoreBackup, AGameFileTheUndoBackupCannotReadStopsTheRestoreBeforeAnythingIsWritten)
{
#ifndef _WIN32
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser reads a file whatever its permission bits; the Windows form holds the "
                        "file open so that no one else may read it";
    }
#endif
    Game game;
    game.put("\\players\\Ann\\a.ini", "a as backed up");
    game.put("\\players\\Ann\\b.ini", "b as backed up");
    game.backUp("base", {"\\players\\Ann\\a.ini", "\\players\\Ann\\b.ini"});
    game.put("\\players\\Ann\\a.ini", "a edited, the only copy");
    game.put("\\players\\Ann\\b.ini", "b edited");
    const Tree before = test::readTree(game.folder);
    const fs::path unreadable = game.path("\\players\\Ann\\a.ini");
    RestoreOutcome outcome;
    {
#ifdef _WIN32
        // Held open by another program that lets others rename it, not read it.
        const gm::test::HeldOpen held(unreadable, FILE_SHARE_DELETE);
        ASSERT_TRUE(held.active());
        outcome = game.restore("base");
#else
        fs::permissions(unreadable, fs::perms::none);
        outcome = game.restore("base");
        fs::permissions(unreadable, fs::perms::owner_read | fs::perms::owner_write);
#endif
    }
    EXPECT_EQ(outcome.status, RestoreStatus::UndoFailed);
    EXPECT_NE(outcome.log.find("a.ini"), std::string::npos) << outcome.log;
    EXPECT_EQ(test::readTree(game.folder), before);
    EXPECT_EQ(test::readTree(game.backups).size(), 2u) << "an undo backup was left";
}

TEST(RestoreBackup, TheUndoBackupsNameIsOneNoBackupHasAndTheBarNeverGoesBack)
{
    Game game;
    const auto when = std::chrono::system_clock::now();
    const std::string first = undoNameFor(game.backups, "base", when);
    EXPECT_TRUE(first.starts_with("base before restore ")) << first;
    gm::test::writeBytes(indexPath(game.backups, first), "");
    EXPECT_EQ(undoNameFor(game.backups, "base", when), first + " (2)");
    gm::test::writeBytes(archivePath(game.backups, first + " (2)"), "");
    EXPECT_EQ(undoNameFor(game.backups, "base", when), first + " (3)");

    RestoreProgress progress;
    EXPECT_EQ(progress.amount().total, 0u);  // nothing known yet: a busy bar
    progress.compare.bytesTotal = 100;
    progress.compare.bytesDone = 100;
    EXPECT_EQ(progress.amount().done, progress.amount().total);
    // More work is learnt of: the bar stays where it was until the work
    // done passes it.
    progress.unpackPlanned = 300;
    progress.unpack.bytesTotal = 300;
    EXPECT_EQ(progress.amount().done, progress.amount().total);
    progress.unpack.bytesDone = 300;
    EXPECT_EQ(progress.amount().done, progress.amount().total);
    EXPECT_FALSE(progress.cancelled());
    progress.cancel();
    EXPECT_TRUE(progress.compare.cancelRequested && progress.undo.cancelRequested && progress.unpack.cancelRequested);
}

}  // namespace
}  // namespace gm::backup
