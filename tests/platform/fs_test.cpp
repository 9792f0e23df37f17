#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "platform/atomic_write.h"
#include "platform/fs.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace gm::platform {
namespace {

TEST(Fs, ExistenceTestsTellFilesFromFolders)
{
    const test::TempDir dir;
    const fs::path file = dir.write("players/recs.ini", "x");
    // Below a file nothing exists, and an empty path is nothing.
    const std::tuple<fs::path, bool, bool, bool> cases[] = {
        {file, true, true, false}, {dir.path() / "players", true, false, true},
        {dir.path() / "nothing", false, false, false}, {file / "below", false, false, false},
        {fs::path(), false, false, false},
    };
    for (const auto& [path, exists, isFile, isFolder] : cases) {
        EXPECT_EQ(pathExists(path), exists) << path;
        EXPECT_EQ(fileExists(path), isFile) << path;
        EXPECT_EQ(folderExists(path), isFolder) << path;
    }
}

// Hidden by the platform's own rule: a leading dot on POSIX, the hidden
// attribute on Windows.
#ifdef _WIN32
constexpr const char* kHiddenFile = "hidden.ini";
constexpr const char* kHiddenFolder = "Hidden";
#else
constexpr const char* kHiddenFile = ".hidden.ini";
constexpr const char* kHiddenFolder = ".git";
#endif

TEST(Fs, ListVisibleLeavesOutHiddenEntries)
{
    const test::TempDir dir;
    for (const char* name : {"b.ini", "A.ini", "with blank.ini", "Caf\xc3\xa9.ini", "sub/inner.ini"}) {
        dir.write(std::string("list/") + name, "");  // only direct entries are listed, not sub/inner.ini
    }
    dir.mkdir("list/shared");
    test::hidden(dir.write(std::string("list/") + kHiddenFile, ""));
    test::hidden(dir.mkdir(std::string("list/") + kHiddenFolder));
#ifdef _WIN32
    // System entries count as hidden too.
    test::addAttributes(dir.mkdir("list/System Volume Information"), FILE_ATTRIBUTE_SYSTEM);
    test::addAttributes(dir.write("list/desktop.ini", ""), FILE_ATTRIBUTE_SYSTEM);
#endif
    std::vector<std::pair<std::string, bool>> seen;
    for (const DirEntry& entry : listVisible(dir.path() / "list")) {
        seen.emplace_back(entry.name, entry.isFolder);
    }
    std::sort(seen.begin(), seen.end());
    const std::vector<std::pair<std::string, bool>> expected = {
        {"A.ini", false}, {"Caf\xc3\xa9.ini", false}, {"b.ini", false},
        {"shared", true}, {"sub", true},              {"with blank.ini", false},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(canListFolder(dir.path() / "list"));

    // Nothing to list: an empty folder, a missing one, a file, no path.
    for (const fs::path& path : {dir.mkdir("empty"), dir.path() / "missing", dir.write("f.ini", "x"), fs::path()}) {
        EXPECT_TRUE(listVisible(path).empty()) << path;
        EXPECT_EQ(canListFolder(path), path == dir.path() / "empty") << path;
    }
}

TEST(Fs, PathsLongerThanTheOldWindowsLimitWork)
{
    // A game folder deep enough that its files lie past 260 characters:
    // Windows refuses such paths in their plain form.
    const test::TempDir dir;
    fs::path deep = dir.path();
    for (const char* part : {"Games", "Racing Simulations Collection 2003", "Quillon Interactive Entertainment",
                             "Gridmark Championship Edition", "Installed Copy For The Long Path Test",
                             "And One More Folder To Be Sure", "Still Further Down The Tree",
                             "Where Nobody Would Look For It", "Unless They Had To Find The Game", "Gridmark"}) {
        deep /= part;
    }
    const fs::path season = deep / "series" / "cup" / "A Season With A Fairly Long Name Of Its Own.ini";
    ASSERT_GT(fromPath(season.parent_path()).size(), 300u);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(fromPath(season.parent_path()))));
    ASSERT_TRUE(writeFileAtomic(season, "[ Season ]\r\n"));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(fromPath(deep / "tracks" / "atlanta"))));

    EXPECT_TRUE(folderExists(deep / "series" / "cup"));
    EXPECT_TRUE(fileExists(season));
    EXPECT_TRUE(pathExists(season));
    EXPECT_FALSE(fileExists(season.parent_path() / "missing.ini"));
    EXPECT_EQ(readFile(season), "[ Season ]\r\n");
    const std::vector<DirEntry> listed = listVisible(season.parent_path());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, fromPath(season.filename()));
    EXPECT_TRUE(canListFolder(season.parent_path()));
    EXPECT_TRUE(folderExists(joinGamePath(fromPath(deep), "\\tracks\\atlanta")));
#ifdef _WIN32
    // The same through the long form itself, and after a ".." on the way.
    EXPECT_TRUE(fileExists(longPathForm(season)));
    EXPECT_EQ(readFile(deep / "tracks" / ".." / "series" / "cup" / season.filename()), "[ Season ]\r\n");
#endif
}

#ifdef _WIN32
TEST(Fs, LongPathFormIsTheExtendedFormOnlyPastTheLimit)
{
    const std::wstring shortPath = L"C:\\Quillon\\Gridmark\\series\\cup\\..\\cup\\Club.ini";
    EXPECT_EQ(longPathForm(shortPath), shortPath);
    const std::wstring name(120, L'n');
    EXPECT_EQ(longPathForm(L"C:\\g\\.\\x\\..\\" + name + L"\\" + name + L"\\"),
              L"\\\\?\\C:\\g\\" + name + L"\\" + name);
    EXPECT_EQ(longPathForm(L"\\\\server\\share\\" + name + L"\\" + name + L"/x.ini"),
              L"\\\\?\\UNC\\server\\share\\" + name + L"\\" + name + L"\\x.ini");
    const std::wstring already = L"\\\\?\\C:\\" + name + L"\\" + name + L"\\" + name;
    EXPECT_EQ(longPathForm(already), already);
    // A relative one is made absolute first.
    const std::wstring relative = longPathForm(name + L"\\" + name + L"\\" + name);
    EXPECT_EQ(relative, L"\\\\?\\" + (fs::current_path() / name / name / name).wstring());
}
#endif

TEST(Fs, WildcardMatchesAsWindowsDoes)
{
    // Case is ignored; "*ab" on "aab" needs the star to give back what it took.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"*.ini", "a.ini", true}, {"*.ini", "a.INI", true}, {"*.INI", "Season 2024.ini", true},
        {"*.ini", "a.ini.bak", false}, {"*.ini", ".ini", true}, {"*.ini", "ini", false}, {"*.ini", "a.in", false},
        {"*.ini", "a_ini", false}, {"*.dat", "My Backup.dat", true}, {"*.dat", "backup.dat.zip", false},
        {"?", "a", true}, {"?", "", false}, {"?", "ab", false}, {"??", "ab", true}, {"a?c", "abc", true},
        {"a?c", "ac", false}, {"?.ini", "x.ini", true}, {"?.ini", "xy.ini", false}, {"*", "", true},
        {"*", "anything at all.ini", true}, {"**", "", true}, {"", "", true}, {"", "a", false}, {"a", "", false},
        {"track.ini", "TRACK.INI", true}, {"track.ini", "track.ini ", false}, {"*a*b*c", "xaybzc", true},
        {"*a*b*c", "abc", true}, {"*a*b*c", "xaybzcd", false}, {"*a*b*c", "cba", false}, {"a*b*a", "aba", true},
        {"a*a", "a", false}, {"*ab", "aab", true}, {"*aab", "aaab", true}, {"*.*", "a.b", true},
        {"*?*", "", false}, {"*?*", "x", true}, {"*x?", "axbxc", true},
    };
    for (const auto& [pattern, name, match] : cases) {
        EXPECT_EQ(wildcardMatch(pattern, name), match) << '"' << pattern << "\" vs \"" << name << '"';
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

TEST(Fs, EntryNamesCompareAsTheFileSystemDoes)
{
    // Each pair: the names, whether Windows takes them for one entry, whether
    // they are equal without regard to ASCII case.
    const std::tuple<const char*, const char*, bool, bool> cases[] = {
        {"shared", "shared", true, true},
        {"shared", "Shared", true, true},
        {"Loud.INI", "loud.ini", true, true},
        {"\xc3\xa9t\xc3\xa9.ini", "\xc3\x89T\xc3\x89.INI", true, false},  // été, ÉTÉ
        {"\xce\xa9mega", "\xcf\x89MEGA", true, false},                    // Greek capital and small omega
        {"stra\xc3\x9f" "e", "STRASSE", false, false},                      // no letter becomes two
        {"a.ini", "a.inf", false, false},
        {"shared", "sha", false, false},
    };
    const test::TempDir dir;
    for (const auto& [a, b, windows, ascii] : cases) {
#ifdef _WIN32
        EXPECT_EQ(sameEntryName(a, b), windows) << a << " / " << b;
        EXPECT_EQ(equalIgnoringCase(a, b), windows) << a << " / " << b;
#else
        EXPECT_EQ(sameEntryName(a, b), std::string_view(a) == b) << a << " / " << b;
        EXPECT_EQ(equalIgnoringCase(a, b), ascii) << a << " / " << b;
#endif
        // The file system of the tests agrees.
        const test::TempDir pair;
        pair.write(a, "x");
        EXPECT_EQ(fileExists(pair.path() / toPath(b)), sameEntryName(a, b)) << a << " / " << b;
    }
}

TEST(Fs, JoinGamePath)
{
    // The game's backslashes become the system's separator; doubled and
    // trailing ones are no empty folders.
    const std::tuple<const char*, const char*, const char*> cases[] = {
#ifdef _WIN32
        {"C:\\g", "\\tracks\\a\\track.ini", "C:\\g\\tracks\\a\\track.ini"},
        {"C:\\g\\", "\\tracks\\a\\track.ini", "C:\\g\\tracks\\a\\track.ini"},
        {"C:\\g", "\\\\tracks\\\\a\\", "C:\\g\\tracks\\a"}, {"C:\\g", "\\series\\cup\\", "C:\\g\\series\\cup"},
        {"C:\\g", "players", "C:\\g\\players"}, {"C:\\g", "", "C:\\g"}, {"C:\\g", "\\", "C:\\g"},
        {"C:\\Quillon\\Gridmark\\", "\\series\\cup\\Cup 2024.ini", "C:\\Quillon\\Gridmark\\series\\cup\\Cup 2024.ini"},
        {"C:\\g\\Caf\xc3\xa9", "\\tracks", "C:\\g\\Caf\xc3\xa9\\tracks"},
        // A drive's root, also written without its backslash, and the
        // long-path and network forms.
        {"C:\\", "\\tracks", "C:\\tracks"}, {"C:", "\\tracks\\a", "C:\\tracks\\a"},
        {"\\\\?\\C:\\Quillon\\Gridmark", "\\tracks", "\\\\?\\C:\\Quillon\\Gridmark\\tracks"},
        {"\\\\server\\share\\Gridmark", "\\players", "\\\\server\\share\\Gridmark\\players"},
#else
        {"/g", "\\tracks\\a\\track.ini", "/g/tracks/a/track.ini"}, {"/g/", "\\tracks\\a\\track.ini", "/g/tracks/a/track.ini"},
        {"/g", "\\\\tracks\\\\a\\", "/g/tracks/a"}, {"/g", "\\series\\cup\\", "/g/series/cup"},
        {"/g", "players", "/g/players"}, {"/g", "", "/g"}, {"/g", "\\", "/g"},
        {"/home/u/.wine/drive_c/Quillon/Gridmark/", "\\series\\cup\\Cup 2024.ini",
         "/home/u/.wine/drive_c/Quillon/Gridmark/series/cup/Cup 2024.ini"},
        {"/g/Caf\xc3\xa9", "\\tracks", "/g/Caf\xc3\xa9/tracks"},
#endif
    };
    for (const auto& [folder, relative, joined] : cases) {
        EXPECT_EQ(fromPath(joinGamePath(folder, relative)), joined) << folder << " + " << relative;
        EXPECT_EQ(fromPath(toPath(joined)), joined);  // the path text round trips
    }
    const test::TempDir dir;
    dir.write("tracks/atlanta/track.ini", "tyre = 1");
    EXPECT_TRUE(fileExists(joinGamePath(dir.text() + "/", "\\tracks\\atlanta\\track.ini")));
    EXPECT_TRUE(folderExists(joinGamePath(dir.text(), "\\tracks\\")));
}

TEST(Fs, ReadFileGivesTheExactBytes)
{
    const test::TempDir dir;
    const std::string bytes = std::string("a\r\nb\0\xff\r", 7);
    EXPECT_EQ(readFile(dir.write("f.bin", bytes)), bytes);
    EXPECT_EQ(readFile(dir.write("empty", "")), std::string());
    EXPECT_EQ(readFile(dir.path() / "missing"), std::nullopt);
    EXPECT_EQ(readFile(dir.path()), std::nullopt);
}

}  // namespace
}  // namespace gm::platform
