#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/fs.h"
#include "platform/recycle.h"
#include "support/environment.h"
#include "support/temp_dir.h"
#include "support/trash.h"

namespace gm::platform {
namespace {

TEST(Recycle, SameNameTwiceKeepsBothAndEachCanBeBroughtBack)
{
#ifndef _WIN32
    ASSERT_NE(test::trashFiles().string().find("gm-home-"), std::string::npos)
        << "the test main must point the trash at a private folder";
#endif
    const test::TempDir dir;
    const fs::path first = dir.write("a/twice.dat", "first");
    const fs::path second = dir.write("b/twice.dat", "second");
    for (const fs::path& file : {first, second}) {
        EXPECT_EQ(moveToRecycleBin(file), 0);
        EXPECT_FALSE(pathExists(file));
    }
    std::vector<std::string> contents = test::trashedContents("twice");
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents, (std::vector<std::string>{"first", "second"}));

    // Restored from the trash as the user would: back in its place, the
    // other one still in the trash.
    ASSERT_TRUE(test::restoreFromTrash(first));
    EXPECT_EQ(test::readBytes(first), "first");
    EXPECT_FALSE(pathExists(second));
    EXPECT_EQ(test::trashedContents("twice"), std::vector<std::string>{"second"});
}

TEST(Recycle, AHomeWithoutItsDataFolderGetsItsTrashAndNothingLandsInTheCurrentFolder)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps no trash in the home folder: the Recycle Bin is the shell's own";
#else
    // A home without ~/.local/share, as a new account or a service has.
    const test::TempDir home;
    const test::TempDir current;
    const test::TempDir game;
    const fs::path file = game.write("series/cup/Cup 1.ini", "season\r\n");
    int result = -1;
    {
        const test::ScopedEnv homeVariable("HOME", home.text());
        const test::ScopedEnv dataVariable("XDG_DATA_HOME", std::nullopt);
        const test::ScopedCurrentPath inCurrent(current.path());
        result = moveToRecycleBin(file);
    }
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(pathExists(file));
    const fs::path trash = home.path() / ".local" / "share" / "Trash";
    EXPECT_EQ(home.read(".local/share/Trash/files/Cup 1.ini"), "season\r\n");
    EXPECT_TRUE(home.exists(".local/share/Trash/info/Cup 1.ini.trashinfo"));
    std::error_code ec;
    EXPECT_EQ(fs::status(trash, ec).permissions(), fs::perms::owner_all) << "the trash is the user's alone";
    EXPECT_TRUE(fs::is_empty(current.path())) << "no files/ and info/ beside the program";

    // A home whose trash cannot be made (a file stands where ~/.local is):
    // refused, and the file stays where it was.
    const test::TempDir blocked;
    blocked.write(".local", "not a folder");
    const fs::path kept = game.write("series/cup/Cup 2.ini", "kept\r\n");
    {
        const test::ScopedEnv homeVariable("HOME", blocked.text());
        const test::ScopedEnv dataVariable("XDG_DATA_HOME", std::nullopt);
        const test::ScopedCurrentPath inCurrent(current.path());
        result = moveToRecycleBin(kept);
    }
    EXPECT_NE(result, 0);
    EXPECT_EQ(test::readBytes(kept), "kept\r\n");
    EXPECT_TRUE(fs::is_empty(current.path())) << "no files/ and info/ beside the program";
#endif
}

#ifndef _WIN32
bool refusingTrash(const fs::path&)
{
    return false;  // a mount with no trash of its own that can be made
}
#endif

TEST(Recycle, WithoutASystemTrashTheFileIsCopiedIntoTheUsersTrash)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has one way only: the shell's Recycle Bin takes a file of every local drive; the "
                    "second way is the freedesktop trash's, for mounts without a trash of their own";
#else
    const test::TempDir dir;
    const fs::path file = dir.write("series/cup/Cup 1.ini", "season\r\n");
    const fs::path again = dir.write("other/Cup 1.ini", "again");
    for (const fs::path& path : {file, again}) {
        EXPECT_EQ(moveToRecycleBinVia(path, refusingTrash), 0);
        EXPECT_FALSE(pathExists(path));
    }

    const fs::path trash = test::trashFiles().parent_path();
    EXPECT_EQ(test::readBytes(trash / "files" / "Cup 1.ini"), "season\r\n");
    EXPECT_EQ(test::readBytes(trash / "files" / "Cup 1.ini.2"), "again");
    const std::string info = test::readBytes(trash / "info" / "Cup 1.ini.trashinfo");
    const std::string path = fs::absolute(file).string();
    EXPECT_EQ(info.substr(0, 18), "[Trash Info]\nPath=");
    EXPECT_NE(info.find(path.substr(0, path.find(' ')) + "%20" + "1.ini\nDeletionDate="), std::string::npos) << info;

    // A missing file and a folder are still refused, and leave nothing behind.
    EXPECT_NE(moveToRecycleBinVia(dir.path() / "missing.ini", refusingTrash), 0);
    EXPECT_NE(moveToRecycleBinVia(dir.mkdir("folder.ini"), refusingTrash), 0);
    EXPECT_FALSE(pathExists(trash / "info" / "missing.ini.trashinfo"));
    EXPECT_FALSE(pathExists(trash / "info" / "folder.ini.trashinfo"));
    for (const char* name : {"Cup 1.ini", "Cup 1.ini.2"}) {
        fs::remove(trash / "files" / name);
        fs::remove(trash / "info" / (std::string(name) + ".trashinfo"));
    }
#endif
}

TEST(Recycle, MissingPathFolderAndFileInReadOnlyFolderAreRefused)
{
    const test::TempDir dir;
    EXPECT_NE(moveToRecycleBin(dir.path() / "missing.ini"), 0);
    EXPECT_NE(moveToRecycleBin(fs::path()), 0);
    const fs::path folder = dir.mkdir("tracks/atlanta");
    dir.write("tracks/atlanta/track.ini", "x");
    EXPECT_NE(moveToRecycleBin(folder), 0);
    EXPECT_EQ(dir.read("tracks/atlanta/track.ini"), "x");
    // A file the system may not move. (On Windows that needs an access list
    // the user cannot change, and the shell answers with an error window of
    // its own, which no test can close.)
#ifndef _WIN32
    if (geteuid() != 0) {  // permissions do not bind for root
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        const int result = moveToRecycleBin(folder / "track.ini");
        fs::permissions(folder, fs::perms::owner_all);
        EXPECT_NE(result, 0);
        EXPECT_EQ(dir.read("tracks/atlanta/track.ini"), "x");
    }
#endif
}

}  // namespace
}  // namespace gm::platform
