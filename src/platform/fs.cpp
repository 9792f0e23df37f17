#include "platform/fs.h"

#include <fstream>
#include <iterator>
#include <system_error>

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
    const DWORD attributes = GetFileAttributesW(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    // Not the archive attribute: Windows sets it on a file that changed,
    // as the restored one has.
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD kept = attributes & kKept;
    return SetFileAttributesW(to.c_str(), kept == 0 ? FILE_ATTRIBUTE_NORMAL : kept) != 0;
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

bool isHiddenOrSystem(const fs::directory_entry& entry)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(entry.path().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
#else
    const std::string name = fromPath(entry.path().filename());
    return !name.empty() && name.front() == '.';
#endif
}

}  // namespace

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
        if (name == "." || name == ".." || isHiddenOrSystem(entry)) {
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

fs::path joinGamePath(std::string_view folder, std::string_view relative)
{
    fs::path result = toPath(folder);
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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace gm::platform
