#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "platform/fs.h"

namespace gm::platform {

namespace fs = std::filesystem;

fs::path applicationFolder()
{
    if (QCoreApplication::instance() != nullptr) {
        return toPath(QCoreApplication::applicationDirPath().toStdString());
    }
#ifndef _WIN32
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        return exe.parent_path();
    }
#endif
    return fs::current_path();
}

bool canWriteIn(const fs::path& folder)
{
    QTemporaryFile probe(QString::fromStdString(fromPath(folder / ".gridmark-write-test-XXXXXX")));
    return probe.open();  // removed again when `probe` goes
}

fs::path userDataFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? fs::path() : toPath(QDir::toNativeSeparators(data).toStdString());
}

fs::path ownFilesFolder(const fs::path& applicationFolder, const fs::path& userData)
{
    if (canWriteIn(applicationFolder) || userData.empty()) {
        return applicationFolder;  // or nowhere better: writes report their failure
    }
    QDir().mkpath(QString::fromStdString(fromPath(userData)));
    return userData;
}

std::vector<fs::path> programDataFolders(const fs::path& applicationFolder)
{
    std::vector<fs::path> folders{applicationFolder};
#if defined(GM_INSTALL_RELATIVE_DATADIR) && defined(GM_INSTALL_FULL_DATADIR)
    folders.push_back((applicationFolder / GM_INSTALL_RELATIVE_DATADIR).lexically_normal());
    const fs::path installed = toPath(GM_INSTALL_FULL_DATADIR);
    if (installed != folders.back()) {
        folders.push_back(installed);
    }
#endif
    return folders;
}

namespace {

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The end of the path component that begins at `start`.
std::size_t componentEnd(std::string_view path, std::size_t start)
{
    std::size_t end = start;
    while (end < path.size() && !isSeparator(path[end])) {
        ++end;
    }
    return end;
}

std::string withBackslashes(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c == '/') {
            c = '\\';
        }
    }
    return result;
}

bool isDriveLetter(std::string_view text)
{
    return text.size() == 2 && text[1] == ':' &&
           ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

}  // namespace

std::string windowsDriveRoot(std::string_view path)
{
    if (path.size() >= 2 && isDriveLetter(path.substr(0, 2))) {
        return std::string(path.substr(0, 2)) + '\\';
    }
    if (path.size() < 3 || !isSeparator(path[0]) || !isSeparator(path[1])) {
        return {};
    }
    // "\\?\" and "\\.\" give the rest to the system as it stands: a drive
    // letter, UNC\server\share, or a volume name.
    if ((path[2] == '?' || path[2] == '.') && path.size() >= 4 && isSeparator(path[3])) {
        const std::size_t first = 4;
        const std::size_t firstEnd = componentEnd(path, first);
        const std::string_view component = path.substr(first, firstEnd - first);
        if (component.empty()) {
            return {};
        }
        const bool unc = component.size() == 3 && (component[0] == 'U' || component[0] == 'u') &&
                         (component[1] == 'N' || component[1] == 'n') && (component[2] == 'C' || component[2] == 'c');
        std::size_t end = firstEnd;
        if (unc) {
            // UNC\server\share: two more components belong to the drive.
            for (int i = 0; i < 2 && end < path.size(); ++i) {
                end = componentEnd(path, end + 1);
            }
        }
        return withBackslashes(path.substr(0, end)) + '\\';
    }
    // \\server\share
    std::size_t end = componentEnd(path, 2);
    if (end == 2) {
        return {};
    }
    if (end < path.size()) {
        end = componentEnd(path, end + 1);
    }
    return withBackslashes(path.substr(0, end)) + '\\';
}

#ifdef _WIN32

DrivePath splitAtDriveRoot(const fs::path& path)
{
    // The text itself first: the path library takes neither "\\?\" nor
    // "\\server\share" paths for absolute ones. A drive-relative "C:x", a
    // rooted "\x" and a relative path are made full first.
    std::string text = fromPath(path);
    std::string root = windowsDriveRoot(text);
    const bool driveRelative = text.size() >= 2 && text[1] == ':' && (text.size() == 2 || !isSeparator(text[2]));
    if (root.empty() || driveRelative) {
        std::error_code ec;
        text = fromPath(fs::absolute(path, ec));
        root = windowsDriveRoot(text);
        if (root.empty()) {
            return {fs::path(L"C:\\"), fs::path()};
        }
    }
    std::vector<std::string> parts;
    std::size_t start = std::min(root.size(), text.size());
    while (start < text.size()) {
        const std::size_t end = componentEnd(text, start);
        const std::string part = text.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.push_back(part);
    }
    fs::path below;
    for (const std::string& part : parts) {
        below /= toPath(part);
    }
    return {toPath(root), below};
}

#else

DrivePath splitAtDriveRoot(const fs::path& path)
{
    std::error_code ec;
    const fs::path absolute = (path.is_absolute() ? path : fs::absolute(path, ec)).lexically_normal();
    fs::path prefix;
    fs::path found;
    for (const fs::path& part : absolute) {
        prefix /= part;
        if (part == "drive_c") {
            found = prefix;  // the innermost drive_c wins
        }
    }
    const fs::path root = found.empty() ? fs::path("/") : found;
    fs::path below;
    for (const fs::path& part : absolute.lexically_relative(root)) {
        if (!part.empty() && part != ".") {
            below /= part;  // no trailing separator
        }
    }
    return {root, below};
}

#endif

fs::path driveRoot(const fs::path& path)
{
    return splitAtDriveRoot(path).root;
}

std::string defaultGameDirectory()
{
#ifdef _WIN32
    return "C:\\Quillon\\Gridmark\\";
#else
    const char* home = std::getenv("HOME");
    std::string base = (home != nullptr && *home != '\0') ? home : QDir::homePath().toStdString();
    if (!base.empty() && base.back() == '/') {
        base.pop_back();
    }
    return base + "/.wine/drive_c/Quillon/Gridmark/";
#endif
}

}  // namespace gm::platform
