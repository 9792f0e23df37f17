// The shell's files: the option file and the game folder test.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "shell/option_file.h"
#include "support/temp_dir.h"

namespace gm::shell {
namespace {

using test::TempDir;

TEST(OptionFile, ReadsTheFirstFieldOfTheFirstLine)
{
    struct Case {
        const char* content;  // null: no option file
        std::optional<std::string> expected;  // none: treated as a missing option file
    };
    // How a field is read is the field reader's own test; here: the first
    // line only, and an empty first field counts as no option file.
    const Case cases[] = {
        {"\"C:\\Quillon\\Gridmark\"\r\n", "C:\\Quillon\\Gridmark"},
        {"  D:\\Gridmark\r\nsecond line\r\n", "D:\\Gridmark"},
        {"\"E:\\Gridmark\"", "E:\\Gridmark"},
        {"\"F:\\one\"\r\n\"G:\\two\"\r\n", "F:\\one"},
        {nullptr, {}}, {"", {}}, {"\r\n", {}}, {"   \r\n", {}}, {"\"\"\r\n", {}}, {",C:\\after-comma\r\n", {}},
    };
    for (const Case& c : cases) {
        TempDir app;
        if (c.content != nullptr) {
            app.write("option.dat", c.content);
        }
        EXPECT_EQ(readGameDirectory(app.path()), c.expected) << "content: " << (c.content ? c.content : "none");
    }
    // A folder named option.dat is not an option file either.
    TempDir app;
    app.mkdir("option.dat");
    EXPECT_FALSE(readGameDirectory(app.path()).has_value());
}

TEST(OptionFile, WritesOneQuotedLineAndReadsItBack)
{
    TempDir app;
    ASSERT_TRUE(writeGameDirectory(app.path(), "/srv/wine/drive_c/Quillon/Gridmark").ok);
    EXPECT_EQ(app.read("option.dat"), "\"/srv/wine/drive_c/Quillon/Gridmark\"\r\n");
    EXPECT_EQ(readGameDirectory(app.path()), "/srv/wine/drive_c/Quillon/Gridmark");
    // Another folder replaces the whole content.
    ASSERT_TRUE(writeGameDirectory(app.path(), "/g").ok);
    EXPECT_EQ(app.read("option.dat"), "\"/g\"\r\n");
    // A failed write is the directory window's test.
}

TEST(OptionFile, GameDirectoryNeedsPlayersAndSeries)
{
    struct Case {
        std::vector<const char*> folders, files;
        bool valid;
    };
    // Plain files of those names pass the existence test as well.
    for (const Case& c : {Case{{"players", "series"}, {}, true}, Case{{"players"}, {}, false},
                          Case{{"series"}, {}, false}, Case{{}, {"players", "series"}, true}}) {
        TempDir dir;
        for (const char* folder : c.folders) {
            dir.mkdir(folder);
        }
        for (const char* file : c.files) {
            dir.write(file, "x");
        }
        EXPECT_EQ(isGameDirectory(dir.text()), c.valid) << c.folders.size() << " folders";
        EXPECT_EQ(isGameDirectory(dir.text() + "/"), c.valid);
        EXPECT_FALSE(isGameDirectory(dir.text() + "/missing"));
    }
}

}  // namespace
}  // namespace gm::shell
