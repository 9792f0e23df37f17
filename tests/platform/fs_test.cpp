#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "support/temp_dir.h"

namespace gm::platform {
namespace {

TEST(Fs, ExistenceTestsTellFilesFromFolders)
{
    const test::TempDir dir;
    const fs::path file = dir.write("players/recs.ini", "x");
    struct Case {
        fs::path path;
        bool exists, isFile, isFolder;
    };
    // Below a file nothing exists, and an empty path is nothing.
    for (const Case& c : {Case{file, true, true, false}, Case{dir.path() / "players", true, false, true},
                          Case{dir.path() / "nothing", false, false, false}, Case{file / "below", false, false, false},
                          Case{fs::path(), false, false, false}}) {
        EXPECT_EQ(pathExists(c.path), c.exists) << c.path;
        EXPECT_EQ(fileExists(c.path), c.isFile) << c.path;
        EXPECT_EQ(folderExists(c.path), c.isFolder) << c.path;
    }
}

TEST(Fs, ListVisibleLeavesOutHiddenEntries)
{
    const test::TempDir dir;
    dir.write("list/b.ini", "");
    dir.write("list/A.ini", "");
    dir.write("list/.hidden.ini", "");
    dir.write("list/with blank.ini", "");
    dir.write("list/Caf\xc3\xa9.ini", "");
    dir.mkdir("list/shared");
    dir.mkdir("list/.git");
    dir.write("list/sub/inner.ini", "");  // not listed: only direct entries

    std::vector<DirEntry> entries = listVisible(dir.path() / "list");
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    std::vector<std::pair<std::string, bool>> seen;
    for (const DirEntry& entry : entries) {
        seen.emplace_back(entry.name, entry.isFolder);
    }
    const std::vector<std::pair<std::string, bool>> expected = {
        {"A.ini", false}, {"Caf\xc3\xa9.ini", false}, {"b.ini", false},
        {"shared", true}, {"sub", true},              {"with blank.ini", false},
    };
    EXPECT_EQ(seen, expected);
}

TEST(Fs, ListVisibleOfNothingIsEmpty)
{
    const test::TempDir dir;
    dir.mkdir("empty");
    const fs::path file = dir.write("file.ini", "x");
    EXPECT_TRUE(listVisible(dir.path() / "empty").empty());
    EXPECT_TRUE(listVisible(dir.path() / "missing").empty());
    EXPECT_TRUE(listVisible(file).empty());
    EXPECT_TRUE(listVisible(fs::path()).empty());
}

TEST(Fs, WildcardMatchesAsWindowsDoes)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.ini", "a.ini", true},
        {"*.ini", "a.INI", true},
        {"*.INI", "Season 2024.ini", true},
        {"*.ini", "a.ini.bak", false},
        {"*.ini", ".ini", true},
        {"*.ini", "ini", false},
        {"*.ini", "a.in", false},
        {"*.ini", "a_ini", false},
        {"*.dat", "My Backup.dat", true},
        {"*.dat", "backup.dat.zip", false},
        {"?", "a", true},
        {"?", "", false},
        {"?", "ab", false},
        {"??", "ab", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"?.ini", "x.ini", true},
        {"?.ini", "xy.ini", false},
        {"*", "", true},
        {"*", "anything at all.ini", true},
        {"**", "", true},
        {"", "", true},
        {"", "a", false},
        {"a", "", false},
        {"track.ini", "TRACK.INI", true},
        {"track.ini", "track.ini ", false},
        {"*a*b*c", "xaybzc", true},
        {"*a*b*c", "abc", true},
        {"*a*b*c", "xaybzcd", false},
        {"*a*b*c", "cba", false},
        {"a*b*a", "aba", true},
        {"a*a", "a", false},
        {"*ab", "aab", true},          // needs the star to give back what it took
        {"*aab", "aaab", true},
        {"*.*", "a.b", true},
        {"*?*", "", false},
        {"*?*", "x", true},
        {"*x?", "axbxc", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.match) << '"' << c.pattern << "\" vs \"" << c.name << '"';
    }
}

TEST(Fs, WildcardCopesWithHostileInput)
{
    // A backtracking matcher would take exponential time on these.
    const std::string as(20000, 'a');
    std::string stars;
    for (int i = 0; i < 200; ++i) {
        stars += "*a";
    }
    EXPECT_FALSE(wildcardMatch(stars + "*b", as));
    EXPECT_TRUE(wildcardMatch(stars + "*", as));
    EXPECT_TRUE(wildcardMatch(std::string(20000, '?'), as));
    EXPECT_FALSE(wildcardMatch(std::string(20001, '?'), as));
    EXPECT_TRUE(wildcardMatch(std::string(5000, '*'), as));
    // Quadratic at worst: a long literal after a star is tried at every place.
    const std::string shortAs(2000, 'a');
    EXPECT_FALSE(wildcardMatch("*" + shortAs + "b", shortAs + shortAs));
    EXPECT_TRUE(wildcardMatch("*" + shortAs + "b", shortAs + shortAs + "b"));
}

TEST(Fs, JoinGamePath)
{
    struct Case {
        const char* folder;
        const char* relative;
        const char* joined;
    };
    const Case cases[] = {
        {"/g", "\\tracks\\a\\track.ini", "/g/tracks/a/track.ini"},
        {"/g/", "\\tracks\\a\\track.ini", "/g/tracks/a/track.ini"},
        {"/g", "\\\\tracks\\\\a\\", "/g/tracks/a"},
        {"/g", "\\series\\cup\\", "/g/series/cup"},
        {"/g", "\\players", "/g/players"},
        {"/g", "players", "/g/players"},
        {"/g", "", "/g"},
        {"/g", "\\", "/g"},
        {"/home/u/.wine/drive_c/Quillon/Gridmark/", "\\series\\cup\\Cup 2024.ini",
         "/home/u/.wine/drive_c/Quillon/Gridmark/series/cup/Cup 2024.ini"},
        {"/g/Caf\xc3\xa9", "\\tracks", "/g/Caf\xc3\xa9/tracks"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fromPath(joinGamePath(c.folder, c.relative)), c.joined) << c.folder << " + " << c.relative;
    }
}

TEST(Fs, JoinedPathFindsTheFile)
{
    const test::TempDir dir;
    dir.write("tracks/atlanta/track.ini", "tyre = 1");
    EXPECT_TRUE(fileExists(joinGamePath(dir.text(), "\\tracks\\atlanta\\track.ini")));
    EXPECT_TRUE(fileExists(joinGamePath(dir.text() + "/", "\\tracks\\atlanta\\track.ini")));
    EXPECT_TRUE(folderExists(joinGamePath(dir.text(), "\\tracks\\")));
}

TEST(Fs, PathTextRoundTrips)
{
    for (const std::string text : {"/g/Caf\xc3\xa9/x y", "relative/a", "/"}) {
        EXPECT_EQ(fromPath(toPath(text)), text);
    }
}

TEST(Fs, ReadFileGivesTheExactBytes)
{
    const test::TempDir dir;
    const std::string bytes = std::string("a\r\nb\0\xff\r", 7);
    const fs::path file = dir.write("f.bin", bytes);
    EXPECT_EQ(readFile(file), bytes);
    EXPECT_EQ(readFile(dir.write("empty", "")), std::string());
    EXPECT_EQ(readFile(dir.path() / "missing"), std::nullopt);
    EXPECT_EQ(readFile(dir.path()), std::nullopt);
}

}  // namespace
}  // namespace gm::platform
