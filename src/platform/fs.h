// File-system queries used by every tool: existence tests, folder listing,
// Windows-style wildcards and game-relative paths.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gm::platform {

namespace fs = std::filesystem;

// Converts between the program's path text (UTF-8) and a native path.
fs::path toPath(std::string_view utf8);
std::string fromPath(const fs::path& path);

// True when something of that name exists, a folder or a file.
bool pathExists(const fs::path& path);
// True only for an existing plain file (folders do not count).
bool fileExists(const fs::path& path);
// True only for an existing folder.
bool folderExists(const fs::path& path);

// True where the file system compares names without regard to letter case
// (Windows): two names that differ only in case name one file.
#ifdef _WIN32
inline constexpr bool kNamesIgnoreCase = true;
#else
inline constexpr bool kNamesIgnoreCase = false;
#endif

// Why `name` (one name, UTF-8) cannot name a file or folder on this system;
// empty when it can. Longer than 255 (bytes on POSIX, UTF-16 units on
// Windows, the limits of the usual file systems); on Windows also
// \ / : * ? " < > | or control characters, or a trailing dot or blank,
// which Windows drops, so the file would get another name.
std::string fileNameProblem(std::string_view name);

// Gives `to` the permission bits of `from` (POSIX), or its read-only,
// hidden, system and not-indexed attributes (Windows): how a file that takes
// another's place keeps what the user set on it. False when it could not.
bool copyFileAttributes(const fs::path& from, const fs::path& to);

struct DirEntry {
    std::string name;  // UTF-8
    bool isFolder = false;
};

// The visible entries of a folder: hidden and system entries are left out
// (on POSIX a leading dot counts as hidden), "." and ".." never appear.
// A missing or unreadable folder gives an empty list.
std::vector<DirEntry> listVisible(const fs::path& folder);

// True when the folder's entries can be listed (it exists and may be read).
bool canListFolder(const fs::path& folder);

// Windows-style wildcard match: '*' any run, '?' one character, ASCII letters
// compared without case, as the Windows file functions match names.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// True when two names stand for the same entry of a folder: on Windows
// without regard to case, as its file systems compare names (every letter,
// "É" and "é" too); elsewhere only when they are equal.
bool sameEntryName(std::string_view a, std::string_view b);

// Names equal without regard to case: as sameEntryName on Windows; ASCII
// letters elsewhere, where a game under Wine finds "Cup.INI" as "Cup.ini".
bool equalIgnoringCase(std::string_view a, std::string_view b);

// Appends a game-relative path written with backslashes ("\tracks\a\track.ini")
// to a folder given in the program's path text. Empty parts (doubled or
// trailing separators) are skipped, so "C:\Game\" + "\tracks" works as well.
fs::path joinGamePath(std::string_view folder, std::string_view relative);
// The same onto a native folder.
fs::path appendGamePath(const fs::path& folder, std::string_view relative);

// Reads a whole file as bytes; nothing when it cannot be read.
std::optional<std::string> readFile(const fs::path& path);

#ifdef _WIN32
// The form of a path that the wide Windows file functions take at any
// length: a path that reaches MAX_PATH becomes absolute and normal and gets
// the "\\?\" (or "\\?\UNC\") prefix; a shorter one is left as it is, so
// that names the system would tidy (a trailing dot or blank) keep meaning
// what they mean everywhere else. The functions above use it.
std::wstring longPathForm(const fs::path& path);
#endif

}  // namespace gm::platform
