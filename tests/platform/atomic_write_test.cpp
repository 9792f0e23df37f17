#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "platform/atomic_write.h"
#include "platform/fs.h"
#include "support/failing_writes.h"
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

TEST(AtomicWrite, AFileTheUserMayNotWriteFailsAndIsKeptAsItWas)
{
    const test::TempDir dir;
    const fs::path folder = dir.mkdir("app");
    const fs::path target = folder / "option.dat";
    test::writeBytes(target, "old\r\n");
#ifdef _WIN32
    // A read-only file: Windows has no write permission of a folder.
    test::addAttributes(target, FILE_ATTRIBUTE_READONLY);
#else
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind for root";
    }
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
#endif
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
        // A full disk; on Windows the file held open by another program.
        const test::FailingWrites failing(target, 4096);
        if (!failing.active()) {
            GTEST_SKIP() << "cannot make the write fail";
        }
        result = writeFileAtomic(target, std::string(1 << 20, 'n'));
    }
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(test::readBytes(target), old);
    EXPECT_EQ(namesIn(dir.path()), Names{"playrecs.ini"});
}

}  // namespace
}  // namespace gm::platform
