#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/atomic_write.h"
#include "platform/fs.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace gm::platform {
namespace {

using Names = std::vector<std::string>;

Names namesIn(const fs::path& folder)
{
    Names names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(fromPath(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicWrite, CreatesAndReplacesWithExactBytes)
{
    const test::TempDir dir;
    const fs::path target = dir.path() / "option.dat";
    // A shorter content leaves nothing of the longer one behind.
    for (const std::string& bytes : {std::string("\"C:\\G\\\"\r\n\0\xff", 11) + std::string(100000, 'x'),
                                     std::string("short\r\n"), std::string()}) {
        const WriteResult result = writeFileAtomic(target, bytes);
        EXPECT_TRUE(result.ok);
        EXPECT_TRUE(result.error.empty());
        EXPECT_EQ(test::readBytes(target), bytes);
    }
    EXPECT_EQ(namesIn(dir.path()), Names{"option.dat"});
}

TEST(AtomicWrite, MissingFolderOrFolderAsTargetFails)
{
    const test::TempDir dir;
    dir.write("option.dat/inside", "keep");
    for (const fs::path& target : {dir.path() / "missing" / "option.dat", dir.path() / "option.dat"}) {
        const WriteResult result = writeFileAtomic(target, "x");
        EXPECT_FALSE(result) << target;
        EXPECT_FALSE(result.error.empty()) << target;
    }
    EXPECT_EQ(dir.read("option.dat/inside"), "keep");
    EXPECT_EQ(namesIn(dir.path()), Names{"option.dat"});
}

#ifndef _WIN32

TEST(AtomicWrite, ReadOnlyFolderFailsAndKeepsTheOldFile)
{
    const test::TempDir dir;
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind for root";
    }
    const fs::path folder = dir.mkdir("app");
    const fs::path target = folder / "option.dat";
    test::writeBytes(target, "old\r\n");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const WriteResult result = writeFileAtomic(target, "new\r\n");
    const Names names = namesIn(folder);
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(test::readBytes(target), "old\r\n");
    EXPECT_EQ(names, Names{"option.dat"});
}

TEST(AtomicWrite, FailedWriteKeepsTheOldFileAndLeavesNoTemporary)
{
    const test::TempDir dir;
    const fs::path target = dir.path() / "playrecs.ini";
    const std::string old = "[atlanta]\r\nAutoAIStrength=95\r\n";
    test::writeBytes(target, old);
    WriteResult result;
    {
        const test::FileSizeLimit limit(4096);  // as a full disk
        if (!limit.active()) {
            GTEST_SKIP() << "cannot limit the file size";
        }
        result = writeFileAtomic(target, std::string(1 << 20, 'n'));
    }
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(test::readBytes(target), old);
    EXPECT_EQ(namesIn(dir.path()), Names{"playrecs.ini"});
}

#endif

}  // namespace
}  // namespace gm::platform
