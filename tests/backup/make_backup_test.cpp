// A backup in one call: the archive and its index, a second backup that
// takes the packed bytes of unchanged files from the first, and the rules
// of the file list, a cancel and a file gone.
#include <gtest/gtest.h>

#include <chrono>

#include "archive_test_support.h"
#include "backup/backup_files.h"
#include "backup/backup_index.h"
#include "backup/make_backup.h"
#include "backup/zip_builder.h"
#include "backup/zip_error.h"

namespace gm::backup {
namespace {

namespace fs = std::filesystem;
using test::Tree;

struct Game {
    gm::test::TempDir dir;
    fs::path folder = dir.mkdir("Quillon/Gridmark");
    fs::path backups = dir.path() / "Backup";
    fs::path journals = dir.path() / "Journal";

    fs::path path(const std::string& relative) const { return platform::appendGamePath(folder, relative); }

    void put(const std::string& relative, const std::string& bytes) const
    {
        fs::create_directories(path(relative).parent_path());
        gm::test::writeBytes(path(relative), bytes);
    }

    BackupOutcome backUp(const std::string& name, const std::vector<std::string>& relatives,
                         bool cancel = false) const
    {
        BackupRequest request;
        request.backupFolder = backups;
        request.name = name;
        request.files = gameFiles(folder, relatives);
        request.journalFolder = journals;
        WorkProgress progress;
        progress.cancelRequested = cancel;
        return makeBackup(request, progress);
    }

    // The archive's entries by the game-relative path they came from.
    Tree archived(const std::string& name, const std::vector<std::string>& relatives) const
    {
        const Tree entries = test::archiveContents(archivePath(backups, name));
        Tree files;
        for (const std::string& relative : relatives) {
            if (const auto found = entries.find(entryNameFor(path(relative))); found != entries.end()) {
                files[relative] = found->second;
            }
        }
        EXPECT_EQ(files.size(), entries.size()) << "entries of no file";
        return files;
    }

    Tree current(const std::vector<std::string>& relatives) const
    {
        Tree files;
        for (const std::string& relative : relatives) {
            files[relative] = gm::test::readBytes(path(relative));
        }
        return files;
    }
};

TEST(MakeBackup, AnArchiveAndItsIndexAndASecondBackupTakesTheBytesOfUnchangedFiles)
{
    Game game;
    std::mt19937 random(9);
    const std::vector<std::string> files = {"\\replay\\r1.rpy", "\\replay\\r2.rpy", "\\players\\\xc3\x89va\\p.ini",
                                            "\\tracks\\atlanta\\track.ini"};
    for (const std::string& file : files) {
        game.put(file, test::gameBytes(random, 50000));
    }
    const BackupOutcome first = game.backUp("first", files);
    ASSERT_EQ(first.status, BackupStatus::Made) << first.log;
    EXPECT_EQ(first.reused, 0u);
    EXPECT_TRUE(first.leftOut.empty());
    // The index in the system code page: "É" is one byte.
    EXPECT_EQ(gm::test::readBytes(indexPath(game.backups, "first")),
              "\"\\replay\\r1.rpy\"\r\n\"\\replay\\r2.rpy\"\r\n\"\\players\\\xc9va\\p.ini\"\r\n"
              "\"\\tracks\\atlanta\\track.ini\"\r\n");
    EXPECT_EQ(game.archived("first", files), game.current(files));
    EXPECT_FALSE(fs::exists(game.journals)) << "a journal was left";

    // One replay edited without a change of size or time: packed afresh;
    // the other files' bytes come from the first backup.
    const fs::path edited = game.path("\\replay\\r2.rpy");
    const auto written = fs::last_write_time(edited);
    std::string bytes = gm::test::readBytes(edited);
    bytes[25000] = static_cast<char>(bytes[25000] ^ 0x40);
    gm::test::writeBytes(edited, bytes);
    fs::last_write_time(edited, written);
    const BackupOutcome second = game.backUp("second", files);
    ASSERT_EQ(second.status, BackupStatus::Made) << second.log;
    EXPECT_EQ(second.reused, 3u);
    EXPECT_EQ(game.archived("second", files), game.current(files));
    EXPECT_EQ(readIndexFile(indexPath(game.backups, "second")).size(), 4u);
}

TEST(MakeBackup, TheFileListsLimitsACancelAndGoneFilesLeaveNoBackupOrOnlyWhatExists)
{
    Game game;
    game.put("\\a.ini", "a");
    game.put("\\b.ini", "b");
    const auto nothingWritten = [&game] {
        EXPECT_TRUE(test::readTree(game.backups).empty()) << "files in the backup folder";
    };

    // 1024 names: more than the zip file list holds.
    std::vector<std::string> many;
    for (int i = 0; i < 1024; ++i) {
        many.push_back("\\many\\f" + std::to_string(i) + ".ini");
    }
    BackupOutcome outcome = game.backUp("many", many);
    EXPECT_EQ(outcome.status, BackupStatus::Error);
    EXPECT_EQ(outcome.errorNumber, kErrorSubscriptOutOfRange);
    EXPECT_EQ(outcome.errorDescription, "Subscript out of range");
    nothingWritten();

    // Two names of one file by the list's rule (letter case ignored).
    outcome = game.backUp("twice", {"\\a.ini", "\\A.INI"});
    EXPECT_EQ(outcome.status, BackupStatus::Error);
    EXPECT_EQ(outcome.errorNumber, kErrorAlreadyInList);
    nothingWritten();

    // Cancelled: nothing.
    EXPECT_EQ(game.backUp("cancelled", {"\\a.ini", "\\b.ini"}, true).status, BackupStatus::Cancelled);
    nothingWritten();

    // No file left: the packer says so, and nothing is written.
    outcome = game.backUp("gone", {"\\c.ini"});
    EXPECT_EQ(outcome.status, BackupStatus::NotPacked);
    EXPECT_NE(outcome.log.find("Nothing to do"), std::string::npos) << outcome.log;
    nothingWritten();

    // One of two gone: the backup holds the other, in archive and index.
    outcome = game.backUp("half", {"\\c.ini", "\\b.ini"});
    ASSERT_EQ(outcome.status, BackupStatus::Made) << outcome.log;
    EXPECT_EQ(outcome.leftOut, std::vector<std::size_t>{0});
    EXPECT_EQ(readIndexFile(indexPath(game.backups, "half")), std::vector<std::string>{"\\b.ini"});
    EXPECT_EQ(game.archived("half", {"\\b.ini"}), (Tree{{"\\b.ini", "b"}}));
}

}  // namespace
}  // namespace gm::backup
