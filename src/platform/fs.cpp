#include "platform/fs.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/paths.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace gm::platform {

fs::path toPath(std::string_view utf8)
{
    std::u8string text(utf8.begin(), utf8.end());
    return fs::path(text);
}

std::string fromPath(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

#ifdef _WIN32

std::wstring longPathForm(const fs::path& path)
{
    std::wstring text = path.wstring();
    // Below the length where the plain form stops working (a folder's name
    // must leave room for an 8.3 name below MAX_PATH), nothing changes.
    constexpr std::size_t kPlainLimit = MAX_PATH - 12;
    if (text.size() < kPlainLimit || text.starts_with(L"\\\\?\\") || text.starts_with(L"\\\\.\\")) {
        return text;
    }
    // The system takes the long form as it stands: absolute, in
    // backslashes, without "." and ".." or doubled separators. The drive or
    // share stays as it is (the path library would make "\server" of
    // "\\server"); the rest is made normal.
    std::wstring root = toPath(windowsDriveRoot(fromPath(path))).wstring();
    const bool driveRelative =
        text.size() >= 2 && text[1] == L':' && (text.size() == 2 || (text[2] != L'\\' && text[2] != L'/'));
    if (root.empty() || driveRelative) {
        // Relative, from the drive's root ("\\x") or drive-relative ("C:x").
        std::error_code ec;
        text = fs::absolute(path, ec).wstring();
        if (ec) {
            return path.wstring();
        }
        root = toPath(windowsDriveRoot(fromPath(fs::path(text)))).wstring();
        if (root.empty()) {
            return path.wstring();
        }
    }
    const std::wstring rest = fs::path(text.substr(root.size())).lexically_normal().make_preferred().wstring();
    std::wstring result = root.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + root.substr(2) : L"\\\\?\\" + root;
    result += rest;
    if (result.back() == L'\\' && !rest.empty()) {
        result.pop_back();
    }
    return result;
}

namespace {

// The attributes of whatever the path names, or nothing.
std::optional<DWORD> attributesOf(const fs::path& path)
{
    if (path.empty()) {
        return std::nullopt;
    }
    const DWORD attributes = GetFileAttributesW(longPathForm(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return attributes;
}

// Calls `visit` with each entry of a folder ("." and ".." included); false
// when the folder cannot be listed. An empty drive root, which has no "."
// entry, is listed with no entries.
template <typename Visit>
bool forEachEntry(const fs::path& folder, Visit visit)
{
    if (folder.empty()) {
        return false;
    }
    std::wstring pattern = longPathForm(folder);
    if (pattern.back() != L'\\' && pattern.back() != L'/') {
        pattern += L'\\';
    }
    pattern += L'*';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const std::optional<DWORD> attributes = attributesOf(folder);
        return error == ERROR_FILE_NOT_FOUND && attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    do {
        visit(data);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

}  // namespace

bool pathExists(const fs::path& path)
{
    return attributesOf(path).has_value();
}

bool fileExists(const fs::path& path)
{
    const std::optional<DWORD> attributes = attributesOf(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool folderExists(const fs::path& path)
{
    const std::optional<DWORD> attributes = attributesOf(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<DirEntry> listVisible(const fs::path& folder)
{
    std::vector<DirEntry> entries;
    forEachEntry(folder, [&entries](const WIN32_FIND_DATAW& data) {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L".." ||
            (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
            return;
        }
        entries.push_back({fromPath(fs::path(name)), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    });
    return entries;
}

bool canListFolder(const fs::path& folder)
{
    return forEachEntry(folder, [](const WIN32_FIND_DATAW&) {});
}

#else

bool pathExists(const fs::path& path)
{
    std::error_code ec;
    return !path.empty() && fs::exists(path, ec);
}

bool fileExists(const fs::path& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool folderExists(const fs::path& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

std::vector<DirEntry> listVisible(const fs::path& folder)
{
    std::vector<DirEntry> entries;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (ec) {
        return entries;
    }
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            break;
        }
        const fs::directory_entry& entry = *it;
        const std::string name = fromPath(entry.path().filename());
        // A leading dot hides a name, as Wine shows such names to Windows
        // programs.
        if (name.empty() || name.front() == '.') {
            continue;
        }
        std::error_code typeError;
        entries.push_back({name, entry.is_directory(typeError)});
    }
    return entries;
}

bool canListFolder(const fs::path& folder)
{
    std::error_code ec;
    const fs::directory_iterator it(folder, ec);
    return !ec;
}

#endif

std::string fileNameProblem(std::string_view name)
{
    constexpr std::size_t kMaxLength = 255;
    std::size_t length = 0;
    for (const char c : name) {
#ifdef _WIN32
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80) {
            length += b >= 0xF0 ? 2 : 1;  // UTF-16 units
        }
        if (b < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            return "a character Windows does not allow in a name";
        }
#else
        ++length;
        if (c == '/' || c == '\0') {
            return "a character this system does not allow in a name";
        }
#endif
    }
    if (length > kMaxLength) {
        return "a name too long for a file name";
    }
#ifdef _WIN32
    if (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        return "a name ending in a dot or blank, which Windows drops";
    }
#endif
    return {};
}

bool copyFileAttributes(const fs::path& from, const fs::path& to)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(longPathForm(from).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    // Not the archive attribute: Windows sets it on a file that changed,
    // as the restored one has.
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD kept = attributes & kKept;
    return SetFileAttributesW(longPathForm(to).c_str(), kept == 0 ? FILE_ATTRIBUTE_NORMAL : kept) != 0;
#else
    std::error_code ec;
    const fs::file_status status = fs::status(from, ec);
    if (ec) {
        return false;
    }
    fs::permissions(to, status.permissions(), fs::perm_options::replace, ec);
    return !ec;
#endif
}

namespace {

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name)
{
    // Iterative matcher with one backtrack point: linear in practice and
    // never recursive, so hostile patterns cannot exhaust the stack.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || foldAscii(pattern[p]) == foldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

#ifdef _WIN32

bool sameEntryName(std::string_view a, std::string_view b)
{
    const std::wstring wideA = toPath(a).wstring();
    const std::wstring wideB = toPath(b).wstring();
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return sameEntryName(a, b);
}

#else

bool sameEntryName(std::string_view a, std::string_view b)
{
    return a == b;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return foldAscii(x) == foldAscii(y); });
}

#endif

fs::path joinGamePath(std::string_view folder, std::string_view relative)
{
    return appendGamePath(toPath(folder), relative);
}

fs::path appendGamePath(const fs::path& folder, std::string_view relative)
{
    fs::path result = folder;
#ifdef _WIN32
    // A bare drive ("C:") means its root, as "C:" + "\tracks" does in the
    // game's own path texts; the path library would make "C:tracks" of it,
    // a path relative to that drive's current folder.
    if (result.has_root_name() && !result.has_root_directory() && result.relative_path().empty()) {
        result += L"\\";
    }
#endif
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find_first_of("\\/", start);
        if (end == std::string_view::npos) {
            end = relative.size();
        }
        const std::string_view part = relative.substr(start, end - start);
        if (!part.empty()) {
            result /= toPath(part);
        }
        start = end + 1;
    }
    return result;
}

std::optional<std::string> readFile(const fs::path& path)
{
    if (!fileExists(path)) {
        return std::nullopt;
    }
#ifdef _WIN32
    // Others (the game) may go on reading and writing the file meanwhile.
    HANDLE file = CreateFileW(longPathForm(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[64 * 1024];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != 0) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    if (!ok) {
        return std::nullopt;
    }
    return bytes;
#else
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
#endif
}

}  // namespace gm::platform
