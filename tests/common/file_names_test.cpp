#include "common/file_names.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(FileNames, NamesTooLongForAFileNameAreRefused)
{
    const std::string e2 = "\xc3\xa9";          // é: 2 bytes, 1 unit
    const std::string flag = "\xf0\x9f\x8f\x81";  // 4 bytes, 2 units
    std::string twoByte;
    for (int i = 0; i < 125; ++i) {
        twoByte += e2;
    }
    // 251 bytes and ".ini" make 255.
    const std::pair<std::string, bool> cases[] = {
        {std::string(251, 'a'), true}, {std::string(252, 'a'), false}, {twoByte + "a", true}, {twoByte + "ab", false},
        {flag + std::string(247, 'a'), true}, {flag + std::string(248, 'a'), false},
    };
    for (const auto& [name, fits] : cases) {
        EXPECT_EQ(fitsFileNameLength(name, ".ini"), fits) << name.size();
        EXPECT_EQ(fileNameRefusal(name, ".ini", "season name").empty(), fits) << name.size();
    }
    EXPECT_EQ(fileNameRefusal(std::string(300, 'a'), ".ini", "backup name"),
              "The backup name is also the name of its file and is too long for a file name. Please input a "
              "shorter backup name.");
    EXPECT_EQ(fileNameRefusal("a:b", ".ini", "season name").substr(0, 55),
              "The season name is also the name of its file. Please in");
    EXPECT_EQ(fileNameRefusal("Cup", ".ini", "season name"), "");
}

}  // namespace
}  // namespace gm::common
