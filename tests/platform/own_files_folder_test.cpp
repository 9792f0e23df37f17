// Where the program keeps its own files: beside the program when it may
// write there, else in the user's data folder. (Where an installed copy finds
// its read-only files is checked through the track defaults it reads.)
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// After windows.h:
#include <shlobj.h>
#else
#include <unistd.h>
#endif

#include "platform/fs.h"
#include "platform/paths.h"
#include "support/access_list.h"
#include "support/temp_dir.h"
#include "support/wine.h"

namespace gm::platform {
namespace {

namespace fs = std::filesystem;

TEST(OwnFilesFolder, AWritableApplicationFolderIsUsedAndLeftAsItWas)
{
    const test::TempDir app;
    const test::TempDir data;
    EXPECT_EQ(ownFilesFolder(app.path(), data.path() / "Gridmark Editor"), app.path());
    EXPECT_TRUE(fs::is_empty(app.path()));  // the write probe is gone again
    EXPECT_TRUE(fs::is_empty(data.path()));
}

TEST(OwnFilesFolder, AnUnwritableApplicationFolderGivesTheUserDataFolder)
{
    const test::TempDir temp;
    const fs::path userData = temp.path() / "data" / "Gridmark Editor";
    std::vector<fs::path> unwritable;
#ifdef _WIN32
    // Wine keeps access lists but does not enforce them; its Z: drive is the
    // Linux root, whose /proc takes no new files.
    // Elsewhere a folder whose access list lets everybody read it and nobody
    // add to it, as Program Files is for a user.
    std::optional<test::ScopedAccessList> readOnly;
    if (test::runningUnderWine()) {
        unwritable.push_back("Z:\\proc");
    } else {
        const fs::path programFolder = temp.mkdir("Program Files/Gridmark Editor");
        readOnly.emplace(programFolder, L"D:P(A;OICI;GRGX;;;WD)");
        ASSERT_TRUE(readOnly->applied());
        unwritable.push_back(programFolder);
    }
#else
    // /proc takes no new files even from root; a folder without write
    // permission stands for /usr/bin when the tests do not run as root.
    unwritable.push_back("/proc");
    const fs::path readOnly = temp.mkdir("usr/bin");
    if (geteuid() != 0) {
        fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::remove);
        unwritable.push_back(readOnly);
    }
#endif
    for (const fs::path& app : unwritable) {
        EXPECT_FALSE(canWriteIn(app)) << app;
        EXPECT_EQ(ownFilesFolder(app, userData), userData) << app;
        EXPECT_TRUE(folderExists(userData)) << "created on the way";
        EXPECT_TRUE(canWriteIn(userData));
        fs::remove_all(temp.path() / "data");
    }
    // With no data folder at all the application folder stays (and its
    // writes report their failure).
    EXPECT_EQ(ownFilesFolder(unwritable.front(), fs::path()), unwritable.front());
}

TEST(OwnFilesFolder, TheUserDataFolderIsThePerUserApplicationDataFolder)
{
    const QString testName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Gridmark Editor"));
    const fs::path data = userDataFolder();
    QCoreApplication::setApplicationName(testName);
#ifdef _WIN32
    // %APPDATA%\Gridmark Editor: the roaming application data of the user.
    PWSTR roaming = nullptr;
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming), S_OK);
    const fs::path expected = fs::path(roaming) / "Gridmark Editor";
    CoTaskMemFree(roaming);
    EXPECT_EQ(data.wstring(), expected.wstring());
#else
    // The test main points XDG_DATA_HOME at its private folder.
    const std::string xdg = qEnvironmentVariable("XDG_DATA_HOME").toStdString();
    ASSERT_NE(xdg.find("gm-home-"), std::string::npos);
    EXPECT_EQ(data, fs::path(xdg) / "Gridmark Editor");
#endif
}

}  // namespace
}  // namespace gm::platform
