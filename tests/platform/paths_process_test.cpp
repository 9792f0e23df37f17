#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/process_start.h"

namespace gm::platform {
namespace {

#ifndef _WIN32

TEST(Paths, DriveRootIsTheWinePrefixDriveC)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/x/.wine/drive_c/Quillon/Gridmark", "/x/.wine/drive_c"}, {"/x/.wine/drive_c/Quillon/Gridmark/", "/x/.wine/drive_c"},
        {"/x/.wine/drive_c", "/x/.wine/drive_c"}, {"/x/.wine/drive_c/Quillon/../Quillon/Gridmark", "/x/.wine/drive_c"},
        {"/home/u/games/prefix/drive_c/Gridmark/tracks", "/home/u/games/prefix/drive_c"},
        {"/x/.wine/drive_c/../other", "/"}, {"/home/u/Gridmark", "/"}, {"/home/u/drive_cx/Gridmark", "/"}, {"/", "/"},
    };
    for (const auto& [path, root] : cases) {
        EXPECT_EQ(fromPath(driveRoot(path)), root) << path;
    }
}

// Sets HOME for one scope.
class HomeOverride {
public:
    explicit HomeOverride(const std::string& home) : saved_(qgetenv("HOME")) { qputenv("HOME", home.c_str()); }
    ~HomeOverride() { qputenv("HOME", saved_); }
    HomeOverride(const HomeOverride&) = delete;
    HomeOverride& operator=(const HomeOverride&) = delete;

private:
    QByteArray saved_;
};

TEST(Paths, DefaultGameDirectoryLiesInTheDefaultWinePrefix)
{
    const std::string home = std::getenv("HOME");
    ASSERT_NE(home.find("gm-home-"), std::string::npos) << "the test main must give the tests a private HOME";
    const std::string folder = defaultGameDirectory();
    EXPECT_EQ(folder, home + "/.wine/drive_c/Quillon/Gridmark/");
    EXPECT_EQ(driveRoot(toPath(folder)), toPath(home) / ".wine" / "drive_c");

    const HomeOverride slash("/home/someone/");
    EXPECT_EQ(defaultGameDirectory(), "/home/someone/.wine/drive_c/Quillon/Gridmark/");
}

TEST(Paths, ApplicationFolderHoldsTheExecutable)
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        GTEST_SKIP() << "no /proc/self/exe";
    }
    EXPECT_EQ(fs::canonical(applicationFolder()), fs::canonical(exe.parent_path()));
}

#endif

TEST(Process, TheRealStartRefusesAProgramThatDoesNotExist)
{
    setProgramStarter({});
    EXPECT_FALSE(startProgram("/nowhere/gm-no-such-program"));
}

}  // namespace
}  // namespace gm::platform
