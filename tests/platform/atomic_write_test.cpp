#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

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

// Everything below a folder: each file with its bytes, each folder as such.
std::map<std::string, std::string> contents(const fs::path& folder)
{
    std::map<std::string, std::string> found;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        found[fromPath(fs::relative(entry.path(), folder))] =
            entry.is_directory() ? "(folder)" : test::readBytes(entry.path());
    }
    return found;
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
        EXPECT_EQ(contents(dir.path()), (std::map<std::string, std::string>{{"option.dat", bytes}}));
    }
}

// A failed write is reported with its reason and leaves everything as it
// was, without a temporary: a missing folder, a folder in the way, a file
// the user may not write, a full disk (on Windows the file held open by
// another program).
TEST(AtomicWrite, AFailureIsReportedAndLeavesTheOldFileAndNoTemporary)
{
    enum class Fault { MissingFolder, FolderInTheWay, NotWritable, FullDisk };
    for (const Fault fault : {Fault::MissingFolder, Fault::FolderInTheWay, Fault::NotWritable, Fault::FullDisk}) {
        SCOPED_TRACE(static_cast<int>(fault));
        const test::TempDir dir;
        const fs::path folder = dir.mkdir("app");
        fs::path target = folder / "playrecs.ini";
        test::writeBytes(target, "[atlanta]\r\nAutoAIStrength=95\r\n");
        dir.write("app/folder.ini/inside", "keep");
        std::optional<test::FailingWrites> fullDisk;
        if (fault == Fault::MissingFolder) {
            target = folder / "missing" / "playrecs.ini";
        } else if (fault == Fault::FolderInTheWay) {
            target = folder / "folder.ini";
        } else if (fault == Fault::NotWritable) {
#ifdef _WIN32
            // A read-only file: Windows has no write permission of a folder.
            test::addAttributes(target, FILE_ATTRIBUTE_READONLY);
#else
            if (geteuid() == 0) {
                continue;  // permissions do not bind for root
            }
            fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
#endif
        } else {
            fullDisk.emplace(target, 4096);
            ASSERT_TRUE(fullDisk->active());
        }
        const auto before = contents(dir.path());
        const WriteResult result = writeFileAtomic(target, std::string(1 << 20, 'n'));
        fullDisk.reset();
        fs::permissions(folder, fs::perms::owner_all);
        EXPECT_FALSE(result);
        EXPECT_FALSE(result.error.empty());
        EXPECT_EQ(contents(dir.path()), before);
    }
}

}  // namespace
}  // namespace gm::platform
