#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "shell/recycle_file.h"
#include "support/temp_dir.h"
#include "support/trash.h"

namespace gm::shell {
namespace {

namespace fs = std::filesystem;

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
    ASSERT_NE(test::trashFiles().string().find("gm-home-"), std::string::npos);

    test::TempDir dir;
    const fs::path file = dir.write("series/cup/Recycled Season.ini", "[ Season ]\r\n");
    ASSERT_EQ(RecycleFile(file), 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(dir.path() / "series" / "cup")) << "only the file goes";

    EXPECT_EQ(test::trashedContents("Recycled Season"), std::vector<std::string>{"[ Season ]\r\n"})
        << "file not found in " << test::trashFiles();
}

}  // namespace
}  // namespace gm::shell
