#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/process_start.h"
#include "support/environment.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace gm::platform {
namespace {

TEST(Paths, WindowsDriveRootsOfDriveLettersLongPathsAndShares)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Quillon\\Gridmark", "C:\\"}, {"c:/Quillon/Gridmark/", "c:\\"}, {"D:\\", "D:\\"}, {"C:", "C:\\"},
        {"C:Gridmark", "C:\\"},
        {"\\\\?\\C:\\Quillon\\Gridmark", "\\\\?\\C:\\"}, {"\\\\.\\C:\\x", "\\\\.\\C:\\"},
        {"\\\\server\\share\\Games\\Gridmark", "\\\\server\\share\\"}, {"\\\\server\\share", "\\\\server\\share\\"},
        {"//server/share/Gridmark", "\\\\server\\share\\"},
        {"\\\\?\\UNC\\server\\share\\Games\\Gridmark", "\\\\?\\UNC\\server\\share\\"},
        {"\\\\?\\unc\\server\\share", "\\\\?\\unc\\server\\share\\"},
        {"\\\\?\\Volume{0b1c}\\Gridmark", "\\\\?\\Volume{0b1c}\\"},
        // No drive named: a relative path, one from the current drive's
        // root, a name that only looks like a drive.
        {"Gridmark\\tracks", ""}, {"\\Gridmark", ""}, {"", ""}, {"1:\\x", ""}, {"\\\\?\\", ""},
    };
    for (const auto& [path, root] : cases) {
        EXPECT_EQ(windowsDriveRoot(path), root) << path;
    }
}

TEST(Paths, DriveRoot)
{
#ifdef _WIN32
    // The drive or share a path lies on, also behind the long-path prefix;
    // a path without a drive lies on the current folder's drive.
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Quillon\\Gridmark", "C:\\"}, {"C:\\Quillon\\Gridmark\\", "C:\\"}, {"C:\\", "C:\\"},
        {"D:\\Games\\Gridmark", "D:\\"}, {"\\\\?\\C:\\Quillon\\Gridmark", "\\\\?\\C:\\"},
        {"\\\\server\\share\\Gridmark\\tracks", "\\\\server\\share\\"},
        {"\\\\?\\UNC\\server\\share\\Gridmark", "\\\\?\\UNC\\server\\share\\"},
    };
    for (const auto& [path, root] : cases) {
        EXPECT_EQ(fromPath(driveRoot(toPath(path))), root) << path;
    }
    const std::string current = fromPath(fs::current_path());
    ASSERT_EQ(current.substr(1, 2), ":\\") << current;
    EXPECT_EQ(fromPath(driveRoot("Gridmark\\tracks")), current.substr(0, 3));
    EXPECT_EQ(fromPath(driveRoot("\\Gridmark")), current.substr(0, 3));
#else
    // The drive_c folder of the Wine prefix a path lies in, else "/".
    const std::pair<const char*, const char*> cases[] = {
        {"/x/.wine/drive_c/Quillon/Gridmark", "/x/.wine/drive_c"}, {"/x/.wine/drive_c/Quillon/Gridmark/", "/x/.wine/drive_c"},
        {"/x/.wine/drive_c", "/x/.wine/drive_c"}, {"/x/.wine/drive_c/Quillon/../Quillon/Gridmark", "/x/.wine/drive_c"},
        {"/home/u/games/prefix/drive_c/Gridmark/tracks", "/home/u/games/prefix/drive_c"},
        {"/x/.wine/drive_c/../other", "/"}, {"/home/u/Gridmark", "/"}, {"/home/u/drive_cx/Gridmark", "/"}, {"/", "/"},
    };
    for (const auto& [path, root] : cases) {
        EXPECT_EQ(fromPath(driveRoot(path)), root) << path;
    }
#endif
}

TEST(Paths, DefaultGameDirectory)
{
#ifdef _WIN32
    EXPECT_EQ(defaultGameDirectory(), "C:\\Quillon\\Gridmark\\");
    EXPECT_EQ(fromPath(driveRoot(toPath(defaultGameDirectory()))), "C:\\");
#else
    // In the default Wine prefix of the (private) home folder.
    const std::string home = std::getenv("HOME");
    ASSERT_NE(home.find("gm-home-"), std::string::npos) << "the test main must give the tests a private HOME";
    const std::string folder = defaultGameDirectory();
    EXPECT_EQ(folder, home + "/.wine/drive_c/Quillon/Gridmark/");
    EXPECT_EQ(driveRoot(toPath(folder)), toPath(home) / ".wine" / "drive_c");

    const test::ScopedEnv slash("HOME", "/home/someone/");
    EXPECT_EQ(defaultGameDirectory(), "/home/someone/.wine/drive_c/Quillon/Gridmark/");
#endif
}

TEST(Paths, ApplicationFolderHoldsTheExecutable)
{
#ifdef _WIN32
    std::wstring exe(32768, L'\0');
    exe.resize(GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size())));
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(fs::canonical(applicationFolder()), fs::canonical(fs::path(exe).parent_path()));
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        GTEST_SKIP() << "no /proc/self/exe";
    }
    EXPECT_EQ(fs::canonical(applicationFolder()), fs::canonical(exe.parent_path()));
#endif
}

TEST(Process, TheRealStartRefusesAProgramThatDoesNotExist)
{
    setProgramStarter({});
    EXPECT_FALSE(startProgram("/nowhere/gm-no-such-program"));
}

}  // namespace
}  // namespace gm::platform
