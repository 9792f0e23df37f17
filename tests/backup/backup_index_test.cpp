// The backup index file and the rules by which a backup picks game files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/backup_files.h"
#include "backup/backup_index.h"
#include "backup/collect_rules.h"
#include "platform/fs.h"
#include "support/temp_dir.h"

namespace gm::backup {
namespace {

using Entries = std::vector<std::string>;

TEST(BackupIndex, OneQuotedPathPerLineAndNothingElse)
{
    // A comma or a leading blank inside the quotes belongs to the path.
    const Entries entries{"\\tracks\\atlanta\\track.ini", " \\players\\Ann Lee,Jr\\playrecs.ini", "\\replay\\x\xe9.rpy"};
    const std::string expected =
        "\"\\tracks\\atlanta\\track.ini\"\r\n\" \\players\\Ann Lee,Jr\\playrecs.ini\"\r\n\"\\replay\\x\xe9.rpy\"\r\n";
    EXPECT_EQ(indexBytes(entries), expected);
    EXPECT_EQ(indexBytes({}), "");
    EXPECT_EQ(readIndex(expected), entries);

    test::TempDir dir;
    const auto path = dir.path() / "b.dat";
    ASSERT_TRUE(writeIndexFile(path, entries));
    EXPECT_EQ(test::readBytes(path), expected);
    EXPECT_EQ(readIndexFile(path), entries);
    EXPECT_TRUE(readIndexFile(dir.path() / "missing.dat").empty());
}

TEST(BackupIndex, DamagedOrForeignFilesGiveWhatCanBeRead)
{
    struct Case {
        std::string bytes;
        Entries entries;
    };
    const Case cases[] = {
        {"\"\\a.ini\"\r\n\"\\b.ini", {"\\a.ini", "\\b.ini"}},           // unbalanced quote at the end
        {"\"\\a.ini\r\n\\b.ini\r\n", {"\\a.ini\r\n\\b.ini\r\n"}},        // an open quote runs to the end
        {"\\a.ini\n\\b.ini\r\n", {"\\a.ini", "\\b.ini"}},               // no quotes: a line each
        {"\"\\a\",\"\\b\"\r\n\r\n\r\n\"\"\r\n", {"\\a", "\\b"}},         // commas, empty lines, empty value
        {std::string("\"\\a\0b\"\r\n\x01\xff\r\n", 12), {std::string("\\a\0b", 4), "\x01\xff"}},  // binary
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readIndex(c.bytes), c.entries) << testing::PrintToString(c.bytes);
    }

    // One huge line is cut; a huge file is read only up to the limit; a file
    // of nothing but separators gives nothing.
    const std::string huge = "\"" + std::string(kMaxIndexBytes / 2, 'x') + "\"\r\n\"\\next\"\r\n";
    const Entries read = readIndex(huge);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0], std::string(kMaxIndexEntryLength, 'x'));
    EXPECT_EQ(read[1], "\\next");
    EXPECT_TRUE(readIndex(std::string(kMaxIndexBytes * 2, ',')).empty());
    const std::string many = std::string(kMaxIndexBytes, 'y') + "\r\n\"\\beyond\"\r\n";
    EXPECT_EQ(readIndex(many).size(), 1u);
    std::string lines;
    for (std::size_t i = 0; i < kMaxIndexEntries + 10; ++i) {
        lines += "a,";
    }
    EXPECT_EQ(readIndex(lines).size(), kMaxIndexEntries);
}

TEST(BackupIndex, AFileIsListedBelowTheGameDirectoryAsTheFileSystemComparesNames)
{
    struct Case {
        const char* file;
        const char* game;
        const char* listed;
    };
#ifdef _WIN32
    // Letter case does not tell folders apart, nor drive letters.
    const Case cases[] = {
        {"C:\\Quillon\\Gridmark\\players\\Ann\\p.ini", "C:\\Quillon\\Gridmark", "\\players\\Ann\\p.ini"},
        {"C:\\Quillon\\Gridmark\\players\\Ann\\p.ini", "c:\\quillon\\GRIDMARK\\", "\\players\\Ann\\p.ini"},
        {"C:\\Jeux\\\xc3\x89va\\x.ini", "c:/jeux/\xc3\xa9va", "\\x.ini"},
        {"\\\\?\\C:\\Quillon\\Gridmark\\x.ini", "\\\\?\\C:\\Quillon\\Gridmark", "\\x.ini"},
        {"\\\\server\\share\\Gridmark\\x.ini", "\\\\SERVER\\Share\\Gridmark", "\\x.ini"},
        // Elsewhere: the full path.
        {"D:\\Quillon\\Gridmark\\x.ini", "C:\\Quillon\\Gridmark", "D:\\Quillon\\Gridmark\\x.ini"},
        {"C:\\Quillon\\Gridmark2\\x.ini", "C:\\Quillon\\Gridmark", "C:\\Quillon\\Gridmark2\\x.ini"},
        {"C:\\Quillon\\Gridmark", "C:\\Quillon\\Gridmark", "C:\\Quillon\\Gridmark"},
    };
#else
    const Case cases[] = {
        {"/g/Quillon/Gridmark/players/Ann/p.ini", "/g/Quillon/Gridmark", "\\players\\Ann\\p.ini"},
        {"/g/Quillon/Gridmark/players/Ann/p.ini", "/g/Quillon/./Gridmark/", "\\players\\Ann\\p.ini"},
        {"/w/drive_c/Quillon/Gridmark/x.ini", "/w/drive_c/Quillon/Gridmark", "\\x.ini"},
        // Elsewhere, or another folder by letter case: the full path.
        {"/g/Quillon/Gridmark/x.ini", "/g/Quillon/gridmark", "/g/Quillon/Gridmark/x.ini"},
        {"/g/Quillon/Gridmark2/x.ini", "/g/Quillon/Gridmark", "/g/Quillon/Gridmark2/x.ini"},
        {"/g/Quillon/Gridmark", "/g/Quillon/Gridmark", "/g/Quillon/Gridmark"},
    };
#endif
    for (const Case& c : cases) {
        EXPECT_EQ(gameRelativeText(platform::toPath(c.file), platform::toPath(c.game)), c.listed) << c.file << " in " << c.game;
    }
}

TEST(CollectRules, ExtensionsMatchExactlyAndTheAnyExtensionTakesAll)
{
    struct Case {
        const char* name;
        const char* extension;
        bool taken;
    };
    // Letter case counts, the whole extension counts, and ".*" takes every file.
    const Case cases[] = {
        {"track.ini", ".ini", true}, {"TRACK.INI", ".ini", false}, {"track.Ini", ".ini", false}, {"a.car", ".car", true},
        {"a.car.bak", ".car", false}, {"ini", ".ini", false},      {"README", ".*", true},       {"A.INI", ".*", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(takesFile(c.name, c.extension), c.taken) << c.name << " " << c.extension;
    }
}

TEST(CollectRules, CarNumberFromTheFirstCarNumberLine)
{
    struct Case {
        std::string file;
        std::optional<int> number;
    };
    // The four characters after "=" read as a number as far as it goes
    // (leading blanks skipped), clamped to the int range.
    const Case cases[] = {
        {"car_name=A\r\ncar_number=99\r\n", 99}, {"car_number=100\r\n", 100},  {"car_number= 100\r\n", 100},
        {"car_number=  100\r\n", 10},           {"car_number=12345\r\n", 1234}, {"car_number=7a\r\n", 7},
        {"car_number=\r\n", 0},                 {"car_number=-5\r\n", -5},      {"car_number=1E9\r\n", 1000000000},
        {"car_number=9E99\r\n", 2147483647},    {"car_number=150", 150},         {"", std::nullopt},
        {"x=1\r\ncar_number=101\r\ncar_number=5\r\n", 101},  // the first line counts
        {"Car_number=150\r\n car_number=150\r\n", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(carNumber(c.file), c.number) << testing::PrintToString(c.file);
    }
}

TEST(CollectRules, PreviewAsksPlayerByPlayerThroughTheCallerAndPicksCarsByNumber)
{
    gm::test::TempDir game;
    for (const char* file : {"players/Bob/p.ini", "players/Ann/p.ini", "players/loose.txt", "replay/r.rpy",
                             "series/cup/cars/a.car", "series/cup/cars/b.car"}) {
        game.write(file, "x");
    }
    game.write("series/cup/cars/a.car", "car_number=12\r\n");
    game.write("series/cup/cars/b.car", "car_number=120\r\n");
    PreviewChoices choices;
    choices.askPerPlayer = true;
    choices.carChoice = CarChoice::ByNumber;
    std::vector<std::string> asked;
    const std::vector<ListedFile> files = previewFiles(game.path(), choices, [&asked](const std::string& player) {
        asked.push_back(player);
        return player == "Bob";
    });
    EXPECT_EQ(asked, (Entries{"Ann", "Bob"}));
    std::vector<std::pair<std::string, bool>> listed;
    for (const ListedFile& file : files) {
        listed.emplace_back(file.relative, file.checked);
    }
    EXPECT_EQ(listed, (std::vector<std::pair<std::string, bool>>{{"\\players\\Ann\\p.ini", false},
                                                                 {"\\players\\Bob\\p.ini", true},
                                                                 {"\\replay\\r.rpy", true},
                                                                 {"\\series\\cup\\cars\\a.car", true},
                                                                 {"\\series\\cup\\cars\\b.car", false}}));
}

}  // namespace
}  // namespace gm::backup
