#include <gtest/gtest.h>

#include <QStandardPaths>
#include <filesystem>

#include "platform/fs.h"
#include "shell/recycle_file.h"
#include "support/temp_dir.h"

namespace gm::shell {
namespace {

namespace fs = std::filesystem;

fs::path trashFiles()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return platform::toPath(data.toStdString()) / "Trash" / "files";
}

TEST(RecycleFile, MissingPathFails)
{
    test::TempDir dir;
    EXPECT_NE(RecycleFile(dir.path() / "nothing-here.ini"), 0);
    EXPECT_NE(RecycleFile(fs::path()), 0);
}

TEST(RecycleFile, MovesTheFileToTheTrash)
{
    // The test runner points the data folder (and so the trash) at a private
    // temporary folder; make sure of it before moving anything.
    const std::string home = qEnvironmentVariable("HOME").toStdString();
    ASSERT_NE(trashFiles().string().find(home), std::string::npos);
    ASSERT_NE(home.find("gm-home-"), std::string::npos);

    test::TempDir dir;
    const fs::path file = dir.write("series/cup/Recycled Season.ini", "[ Season ]\r\n");
    ASSERT_EQ(RecycleFile(file), 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(dir.path() / "series" / "cup")) << "only the file goes";

    bool found = false;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(trashFiles(), ec)) {
        if (entry.path().filename().string().rfind("Recycled Season", 0) == 0 &&
            test::readBytes(entry.path()) == "[ Season ]\r\n") {
            found = true;
        }
    }
    EXPECT_TRUE(found) << "file not found in " << trashFiles();
}

TEST(RecycleFile, RefusesAFolder)
{
    test::TempDir dir;
    const fs::path folder = dir.mkdir("a-folder");
    EXPECT_NE(RecycleFile(folder), 0);
    EXPECT_TRUE(fs::exists(folder));
}

}  // namespace
}  // namespace gm::shell
