#include "common/file_names.h"

#include <gtest/gtest.h>

namespace gm::common {
namespace {

TEST(FileNames, NamesThatCannotBePlainFileNamesAreRefused)
{
    for (const char* good : {"Club Cup", "a", "2004 season", "v1.2", "a..b", " lead", "Console", "COM0"}) {
        EXPECT_TRUE(isUsableFileName(good)) << good;
    }
    for (const char* bad : {"", " ", "..", ".", " . ", ".hidden", "..up", "a/b", "a\\b", "..\\up", "c:", "a*",
                            "a?", "\"q\"", "<a>", "a|b", "tab\there", "CON", "con", "nul.txt", "LPT1", "com9 "}) {
        EXPECT_FALSE(isUsableFileName(bad)) << bad;
    }
}

}  // namespace
}  // namespace gm::common
