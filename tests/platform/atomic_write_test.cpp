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

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
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
    const std::string first = std::string("\"C:\\G\\\"\r\n\0\xff", 11) + std::string(100000, 'x');
    ASSERT_TRUE(writeFileAtomic(target, first));
    EXPECT_EQ(test::readBytes(target), first);

    // A shorter content leaves nothing of the longer one behind.
    const WriteResult second = writeFileAtomic(target, "short\r\n");
    EXPECT_TRUE(second.ok);
    EXPECT_TRUE(second.error.empty());
    EXPECT_EQ(test::readBytes(target), "short\r\n");

    ASSERT_TRUE(writeFileAtomic(target, ""));
    EXPECT_EQ(test::readBytes(target), "");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"option.dat"});
}

TEST(AtomicWrite, MissingFolderFails)
{
    const test::TempDir dir;
    const WriteResult result = writeFileAtomic(dir.path() / "missing" / "option.dat", "x");
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(namesIn(dir.path()).empty());
}

TEST(AtomicWrite, FolderAsTargetIsRefused)
{
    const test::TempDir dir;
    dir.write("option.dat/inside", "keep");
    const WriteResult result = writeFileAtomic(dir.path() / "option.dat", "x");
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(folderExists(dir.path() / "option.dat"));
    EXPECT_EQ(dir.read("option.dat/inside"), "keep");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"option.dat"});
}

#ifndef _WIN32

bool permissionsBind(const test::TempDir& dir)
{
    // Root writes into read-only folders; find out by trying.
    if (geteuid() == 0) {
        return false;
    }
    const fs::path probeFolder = dir.mkdir("probe");
    fs::permissions(probeFolder, fs::perms::owner_read | fs::perms::owner_exec);
    std::error_code ec;
    const bool created = fs::create_directory(probeFolder / "x", ec);
    fs::permissions(probeFolder, fs::perms::owner_all);
    fs::remove_all(probeFolder, ec);
    return !created;
}

TEST(AtomicWrite, ReadOnlyFolderFailsAndKeepsTheOldFile)
{
    const test::TempDir dir;
    if (!permissionsBind(dir)) {
        GTEST_SKIP() << "permissions do not bind for this user";
    }
    const fs::path folder = dir.mkdir("app");
    const fs::path target = folder / "option.dat";
    test::writeBytes(target, "old\r\n");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const WriteResult result = writeFileAtomic(target, "new\r\n");
    const std::vector<std::string> names = namesIn(folder);
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(test::readBytes(target), "old\r\n");
    EXPECT_EQ(names, std::vector<std::string>{"option.dat"});
}

TEST(AtomicWrite, FailedWriteKeepsTheOldFileAndLeavesNoTemporary)
{
    const test::TempDir dir;
    const fs::path target = dir.path() / "playrecs.ini";
    const std::string old = "[atlanta]\r\nAutoAIStrength=95\r\n";
    test::writeBytes(target, old);
    WriteResult result;
    {
        const test::FileSizeLimit limit(4096);
        if (!limit.active()) {
            GTEST_SKIP() << "cannot limit the file size";
        }
        result = writeFileAtomic(target, std::string(1 << 20, 'n'));
    }
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(test::readBytes(target), old);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"playrecs.ini"});
}

#endif

}  // namespace
}  // namespace gm::platform
