#include <gtest/gtest.h>

#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "archive_test_support.h"
#include "backup/archive_entries.h"
#include "backup/message_log.h"
#include "backup/zip_builder.h"
#include "platform/paths.h"
#include "support/file_size_limit.h"

namespace gm::backup {
namespace {

namespace fs = std::filesystem;
using gm::test::TempDir;
using test::expectZipError;

// Lists these files for an archive at `archive`.
void listFor(CGZipFiles& zip, const fs::path& archive, const std::vector<fs::path>& files)
{
    zip.setZipFileName(platform::fromPath(archive));
    for (const fs::path& file : files) {
        zip.AddFile(platform::fromPath(file));
    }
}

TEST(ZipBuilder, FileListKeysIgnoreLetterCaseAndFollowThePlaceholderInTheRequest)
{
    CGZipFiles zip;
    zip.AddFile("C:\\Game\\players\\Ann\\playrecs.ini");
    zip.AddFile("C:\\Game\\players\\Éva\\playrecs.ini");
    EXPECT_EQ(zip.ZipFileCount(), 2);
    const std::string already = "File is already in Zip List";
    for (const char* name : {"c:\\game\\PLAYERS\\ann\\PlayRecs.INI", "C:\\Game\\players\\éVA\\playrecs.ini",
                             "querty", "QUERTY"}) {
        expectZipError([&] { zip.AddFile(name); }, static_cast<std::int32_t>(0x800407D1), "CGZip::AddFile", already);
    }
    EXPECT_EQ(zip.ZipFileCount(), 2);
    expectZipError([&] { zip.RemoveFile("C:\\Game\\nothing.ini"); }, static_cast<std::int32_t>(0x800407D2),
                   "CGZip::RemoveFile", "File is not in Zip List");
    zip.setRootDirectory("c:\\quillon\\gridmark é");
    const ZipRequest request = zip.buildRequest();
    EXPECT_EQ(request.rootDirectory, "C:\\QUILLON\\GRIDMARK É");
    EXPECT_EQ(request.names, (std::vector<std::string>{"querty", "C:\\Game\\players\\Ann\\playrecs.ini",
                                                       "C:\\Game\\players\\Éva\\playrecs.ini"}));

    zip.RemoveFile("C:\\GAME\\players\\ann\\playrecs.ini");
    zip.RemoveFile("Querty");
    EXPECT_EQ(zip.fileList(), std::vector<std::string>{"C:\\Game\\players\\Éva\\playrecs.ini"});
    EXPECT_EQ(zip.ZipFileCount(), 0);
    zip.RemoveFile("C:\\Game\\players\\Éva\\playrecs.ini");
    EXPECT_EQ(zip.ZipFileCount(), -1);
}

TEST(ZipBuilder, EntriesLieBelowTheDriveRootAndUnknownNamesAreLoggedInTheMessageLog)
{
    const test::FakeDrive drive;
    const fs::path game = drive.folder / "Quillon" / "Gridmark";
    test::writeTree(game,
                    {{"players/Ann Lee/playrecs.ini", "[records]\r\n"}, {"tracks/atlanta/track.ini", "tyre=1.0\r\n"}});
    const std::string archive = drive.dir.text() + "/b.zip";
    CGZipFiles zip;
    zip.setZipFileName(archive);
    zip.setUpdatingZip(false);
    // Game-relative parts are written with backslashes, as the game does.
    zip.AddFile(platform::fromPath(game) + "\\players\\Ann Lee\\playrecs.ini");
    zip.AddFile(platform::fromPath(game) + "/tracks/atlanta/track.ini");
    zip.AddFile(platform::fromPath(game) + "/tracks/missing.ini");
    ASSERT_EQ(zip.MakeZipFile(), kZipOk);
    EXPECT_EQ(zip.GetLastMessage(), "zip warning: name not matched: querty\r\n"
                                    "zip warning: name not matched: " +
                                        platform::fromPath(game) + "/tracks/missing.ini\r\n");
    EXPECT_EQ(zip.leftOut(), std::vector<std::string>{platform::fromPath(game) + "/tracks/missing.ini"});
    const ArchiveListing listing = listArchive(archive);
    ASSERT_TRUE(listing.ok);
    ASSERT_EQ(listing.entries.size(), 2u);
    EXPECT_EQ(listing.entries[0].name, drive.entry("Quillon/Gridmark/players/Ann Lee/playrecs.ini"));
    EXPECT_EQ(listing.entries[1].name, drive.entry("Quillon/Gridmark/tracks/atlanta/track.ini"));
    EXPECT_EQ(entryNameForPath(platform::fromPath(game) + "\\x\\..\\y.ini"), drive.entry("Quillon/Gridmark/y.ini"));

    // Only the placeholder (or nothing that exists): no archive at all.
    CGZipFiles empty;
    empty.setZipFileName(drive.dir.text() + "/none.zip");
    EXPECT_EQ(empty.MakeZipFile(), kZipNothingToDo);
    EXPECT_FALSE(drive.dir.exists("none.zip"));
    EXPECT_NE(empty.GetLastMessage().find("Nothing to do"), std::string::npos);

    // A print that begins with a line end logs CR LF instead; any other as it is.
    code_module::clearMessageLog();
    code_module::printMessage("\n");
    code_module::printMessage("\nmore text");
    code_module::printMessage("a line\n");
    EXPECT_EQ(code_module::messageLog(), "\r\n\r\na line\n");
    EXPECT_EQ(CGZipFiles().GetLastMessage(), code_module::messageLog());
}

TEST(ZipBuilder, TheDriveRootOfEachFormOfPath)
{
    // A path, the root restore unpacks it below, and its entry name.
    struct Case {
        const char* path;
        const char* root;
        const char* entry;
    };
#ifdef _WIN32
    const Case cases[] = {
        {"C:\\Quillon\\Gridmark\\a.ini", "C:\\", "Quillon/Gridmark/a.ini"},
        {"d:/quillon/a.ini", "d:\\", "quillon/a.ini"},
        {"C:\\..\\..\\Quillon\\.\\a.ini", "C:\\", "Quillon/a.ini"},
        // Long paths and shares: the root is the whole drive or share.
        {"\\\\?\\C:\\Quillon\\x\\..\\Gridmark\\a.ini", "\\\\?\\C:\\", "Quillon/Gridmark/a.ini"},
        {"\\\\server\\share\\Quillon\\a.ini", "\\\\server\\share\\", "Quillon/a.ini"},
        {"//server/share/Quillon/a.ini", "\\\\server\\share\\", "Quillon/a.ini"},
        {"\\\\?\\UNC\\server\\share\\Quillon\\a.ini", "\\\\?\\UNC\\server\\share\\", "Quillon/a.ini"},
    };
#else
    const Case cases[] = {
        {"/x/.wine/drive_c/Quillon/Gridmark/a.ini", "/x/.wine/drive_c", "Quillon/Gridmark/a.ini"},
        {"/x/.wine/drive_c/Quillon\\Gridmark\\a.ini", "/x/.wine/drive_c", "Quillon/Gridmark/a.ini"},
        {"/x/.wine/drive_c/../other/a.ini", "/", "x/.wine/other/a.ini"},
        {"/home/u/Gridmark/a.ini", "/", "home/u/Gridmark/a.ini"},
    };
#endif
    for (const Case& c : cases) {
        EXPECT_EQ(platform::fromPath(platform::driveRoot(platform::toPath(c.path))), c.root) << c.path;
        EXPECT_EQ(entryNameForPath(c.path), c.entry) << c.path;
    }

#ifdef _WIN32
    // A game folder named in the long form is packed below its drive root.
    const test::FakeDrive drive;
    test::writeTree(drive.folder, {{"Gridmark/a.ini", "a"}});
    const std::string archive = drive.dir.text() + "/long.zip";
    CGZipFiles zip;
    zip.setZipFileName(archive);
    zip.AddFile("\\\\?\\" + platform::fromPath(drive.folder) + "\\Gridmark\\a.ini");
    ASSERT_EQ(zip.MakeZipFile(), kZipOk) << zip.GetLastMessage();
    const ArchiveListing listing = listArchive(archive);
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].name, drive.entry("Gridmark/a.ini"));
#endif
}

// An earlier backup and megabyte replays to pack in its place.
struct EarlierBackup {
    TempDir dir;
    fs::path archive = dir.write("backup/old.zip", "the earlier backup");
    std::vector<fs::path> files;

    explicit EarlierBackup(int replays)
    {
        std::mt19937 random(7);
        for (int i = 0; i < replays; ++i) {
            files.push_back(dir.write("game/r" + std::to_string(i) + ".rpy", test::gameBytes(random, 1 << 20)));
        }
    }
};

TEST(ZipBuilder, FailedOrCancelledPackingLeavesTheOldArchive)
{
    const EarlierBackup earlier(8);
    const TempDir& dir = earlier.dir;
    const fs::path& archive = earlier.archive;
    const std::vector<fs::path>& files = earlier.files;

    for (bool streamed : {false, true}) {
        WorkProgress progress;
        CGZipFiles zip;
        listFor(zip, archive, files);
        zip.setWorkProgress(&progress);
        zip.setStreamingThreshold(streamed ? 0 : kDefaultStreamingThreshold);
        std::thread watcher = test::cancelOnceBegun(progress);
        const std::int32_t result = zip.MakeZipFile();
        watcher.join();
        EXPECT_EQ(result, kZipCancelled) << zip.GetLastMessage();
        EXPECT_EQ(dir.read("backup/old.zip"), "the earlier backup");
        EXPECT_EQ(test::readTree(dir.path() / "backup").size(), 1u) << "stray files";
    }

    // An archive in a folder that does not exist.
    CGZipFiles zip;
    listFor(zip, dir.path() / "no/such/folder/x.zip", {files[0]});
    EXPECT_EQ(zip.MakeZipFile(), kZipCreateError);
    EXPECT_NE(zip.GetLastMessage().find("x.zip"), std::string::npos) << zip.GetLastMessage();
    EXPECT_FALSE(fs::exists(dir.path() / "no"));
}

TEST(ZipBuilder, AnUnreadableFileIsLeftOutAndAFullDiskFailsTheArchive)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs permission bits that make a file unreadable and a file size limit (setrlimit), "
                    "which Windows does not have; a file gone since it was listed is the Windows form, in the "
                    "backup window's tests";
#else
    const EarlierBackup earlier(4);
    const TempDir& dir = earlier.dir;
    const fs::path& archive = earlier.archive;
    const std::vector<fs::path>& files = earlier.files;
    // A listed file that cannot be read is left out, and named.
    if (::geteuid() != 0) {
        fs::permissions(files[3], fs::perms::none);
        CGZipFiles zip;
        const fs::path other = dir.path() / "backup" / "other.zip";
        listFor(zip, other, files);
        EXPECT_EQ(zip.MakeZipFile(), kZipOk);
        EXPECT_NE(zip.GetLastMessage().find("r3.rpy"), std::string::npos) << zip.GetLastMessage();
        EXPECT_EQ(zip.leftOut(), std::vector<std::string>{platform::fromPath(files[3])});
        EXPECT_EQ(listArchive(platform::fromPath(other)).entries.size(), 3u);
        fs::remove(other);
        fs::permissions(files[3], fs::perms::owner_all);
    }
    // A full disk.
    CGZipFiles zip;
    listFor(zip, archive, files);
    {
        const gm::test::FileSizeLimit limit(100000);
        ASSERT_TRUE(limit.active());
        EXPECT_EQ(zip.MakeZipFile(), kZipWriteError);
    }
    EXPECT_EQ(dir.read("backup/old.zip"), "the earlier backup");
    EXPECT_EQ(test::readTree(dir.path() / "backup").size(), 1u) << "stray files";
#endif
}

TEST(ZipBuilder, UpdatingReplacesEntriesAndKeepsTheOthers)
{
    TempDir dir;
    const fs::path a = dir.write("g/a.ini", "old a");
    const fs::path b = dir.write("g/b.ini", "b");
    const fs::path archive = dir.path() / "u.zip";
    CGZipFiles first;
    listFor(first, archive, {a, b});
    ASSERT_EQ(first.MakeZipFile(), kZipOk);

    test::writeTree(dir.path(), {{"g/a.ini", "new a"}, {"g/c.ini", "c"}});
    CGZipFiles update;
    listFor(update, archive, {dir.path() / "g/c.ini", a});
    update.setUpdatingZip(true);
    ASSERT_EQ(update.MakeZipFile(), kZipOk);
    const ArchiveListing listing = listArchive(platform::fromPath(archive));
    ASSERT_EQ(listing.entries.size(), 3u);
    const std::string base = entryNameForPath(dir.text());
    EXPECT_EQ(listing.entries[0].name, base + "/g/b.ini");
    EXPECT_EQ(listing.entries[2].name, base + "/g/a.ini");
    EXPECT_EQ(listing.entries[2].size, 5u);
}

}  // namespace
}  // namespace gm::backup
