// Where the program keeps its own files: beside the program when it may
// write there, else in the user's data folder. (Where an installed copy finds
// its read-only files is checked through the track defaults it reads.)
#include <gtest/gtest.h>

#include <QByteArray>
#include <QStandardPaths>
#include <QtGlobal>
#include <filesystem>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/fs.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace gm::platform {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

// Points XDG_DATA_HOME at a temporary folder for one test.
class TempDataHome {
public:
    TempDataHome() : old_(qgetenv("XDG_DATA_HOME")), had_(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir.text()));
    }
    ~TempDataHome()
    {
        if (had_) {
            qputenv("XDG_DATA_HOME", old_);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
    }
    test::TempDir dir;

private:
    QByteArray old_;
    bool had_;
};

TEST(OwnFilesFolder, AWritableApplicationFolderIsUsedAndLeftAsItWas)
{
    TempDataHome home;
    test::TempDir app;
    EXPECT_EQ(ownFilesFolder(app.path()), app.path());
    EXPECT_TRUE(fs::is_empty(app.path()));  // the write probe is gone again
    EXPECT_TRUE(fs::is_empty(home.dir.path()));
}

TEST(OwnFilesFolder, AnUnwritableApplicationFolderGivesTheUserDataFolder)
{
    TempDataHome home;
    // /proc takes no new files even from root; a folder without write
    // permission stands for /usr/bin when the tests do not run as root.
    std::vector<fs::path> unwritable{"/proc"};
    test::TempDir readOnly;
    if (geteuid() != 0) {
        fs::permissions(readOnly.path(), fs::perms::owner_write, fs::perm_options::remove);
        unwritable.push_back(readOnly.path());
    }
    for (const fs::path& app : unwritable) {
        EXPECT_FALSE(canWriteIn(app)) << app;
        const fs::path data = ownFilesFolder(app);
        EXPECT_EQ(data, toPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()));
        EXPECT_EQ(fromPath(data).rfind(home.dir.text() + "/", 0), 0U) << fromPath(data);
        EXPECT_TRUE(folderExists(data));  // created on the way
        EXPECT_TRUE(canWriteIn(data));
    }
    fs::permissions(readOnly.path(), fs::perms::owner_write, fs::perm_options::add);
}

#endif

}  // namespace
}  // namespace gm::platform
