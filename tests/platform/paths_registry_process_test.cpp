#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/process_start.h"
#include "platform/registry.h"

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

TEST(Registry, FakeTableSetReadClear)
{
    clearFakeRegistry();
    const char* key = "SOFTWARE\\Gridmark Test\\Shared Tools\\MSINFO";
    EXPECT_EQ(readRegistryValue(RegistryRoot::LocalMachine, key, "PATH"), std::nullopt);

    setFakeRegistryValue(RegistryRoot::LocalMachine, key, "PATH", {kRegString, std::string("C:\\msinfo32.exe\0", 16)});
    setFakeRegistryValue(RegistryRoot::LocalMachine, key, "Count", {kRegDword, std::string("\x2a\0\0\0", 4)});

    const std::optional<RegistryData> path = readRegistryValue(RegistryRoot::LocalMachine, key, "PATH");
    const std::optional<RegistryData> count = readRegistryValue(RegistryRoot::LocalMachine, key, "Count");
    ASSERT_TRUE(path && count);
    EXPECT_EQ(std::pair(path->type, path->bytes), std::pair(kRegString, std::string("C:\\msinfo32.exe\0", 16)));  // raw
    EXPECT_EQ(std::pair(count->type, count->bytes), std::pair(kRegDword, std::string("\x2a\0\0\0", 4)));

    // Root, key and value name each tell entries apart.
    EXPECT_EQ(readRegistryValue(RegistryRoot::CurrentUser, key, "PATH"), std::nullopt);
    EXPECT_EQ(readRegistryValue(RegistryRoot::LocalMachine, "SOFTWARE\\Gridmark Test", "PATH"), std::nullopt);
    EXPECT_EQ(readRegistryValue(RegistryRoot::LocalMachine, key, "Path2"), std::nullopt);

    setFakeRegistryValue(RegistryRoot::LocalMachine, key, "PATH", {kRegString, "D:\\other.exe"});
    EXPECT_EQ(readRegistryValue(RegistryRoot::LocalMachine, key, "PATH")->bytes, "D:\\other.exe");

    clearFakeRegistry();
    EXPECT_EQ(readRegistryValue(RegistryRoot::LocalMachine, key, "PATH"), std::nullopt);
    EXPECT_EQ(readRegistryValue(RegistryRoot::LocalMachine, key, "Count"), std::nullopt);
}

TEST(Process, StarterCanBeReplacedAndRestored)
{
    std::vector<fs::path> started;
    bool answer = true;
    setProgramStarter([&](const fs::path& program) {
        started.push_back(program);
        return answer;
    });
    EXPECT_TRUE(startProgram("C:\\Program Files\\Common Files\\MSINFO32.EXE"));
    answer = false;
    EXPECT_FALSE(startProgram("/nowhere/tool"));
    EXPECT_EQ(started, (std::vector<fs::path>{"C:\\Program Files\\Common Files\\MSINFO32.EXE", "/nowhere/tool"}));

    // Back to the real start, which refuses a program that does not exist.
    setProgramStarter({});
    EXPECT_FALSE(startProgram("/nowhere/gm-no-such-program"));
    EXPECT_EQ(started.size(), 2u);
}

}  // namespace
}  // namespace gm::platform
