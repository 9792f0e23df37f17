#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdlib>
#include <cwctype>
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

fs::path ownFilesFolder(const fs::path& applicationFolder)
{
    if (canWriteIn(applicationFolder)) {
        return applicationFolder;
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty()) {
        return applicationFolder;  // nowhere better; writes report their failure
    }
    QDir().mkpath(data);
    return toPath(data.toStdString());
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

#ifdef _WIN32

namespace {

// The length of the root at the start of a Windows path text whose
// separators are all '\': "C:\", "\\server\share\", "\\?\C:\",
// "\\?\UNC\server\share\" (or a device such as "\\?\Volume{...}\"). 0 when
// the text is not a full path. `root` receives the root, ending in '\'.
std::size_t windowsRootLength(const std::wstring& text, std::wstring& root)
{
    // The end of the component starting at `from`, and the position after
    // its separator.
    const auto component = [&text](std::size_t from) {
        const std::size_t end = text.find(L'\\', from);
        return end == std::wstring::npos ? text.size() : end;
    };
    const auto isDrive = [](const std::wstring& t, std::size_t at) {
        return t.size() >= at + 2 && t[at + 1] == L':' &&
               ((t[at] >= L'A' && t[at] <= L'Z') || (t[at] >= L'a' && t[at] <= L'z'));
    };
    std::size_t at = 0;
    std::wstring prefix;
    if (text.starts_with(LR"(\\?\)") || text.starts_with(LR"(\\.\)")) {
        prefix = text.substr(0, 4);
        at = 4;
        if (isDrive(text, at)) {
            root = prefix + text.substr(at, 2) + L'\\';
            return std::min(text.size(), at + 3);
        }
        std::wstring unc = text.substr(at, 4);
        for (wchar_t& c : unc) {
            c = static_cast<wchar_t>(std::towupper(c));
        }
        if (unc != L"UNC\\") {
            const std::size_t end = component(at);  // a device or volume
            root = text.substr(0, end) + L'\\';
            return std::min(text.size(), end + 1);
        }
        prefix += text.substr(at, 4);
        at += 4;
    } else if (text.starts_with(LR"(\\)")) {
        prefix = LR"(\\)";
        at = 2;
    } else if (isDrive(text, 0) && text.size() >= 3 && text[2] == L'\\') {
        root = text.substr(0, 2) + L'\\';
        return 3;
    } else {
        return 0;
    }
    // A share: server and share name.
    const std::size_t server = component(at);
    const std::size_t share = server < text.size() ? component(server + 1) : server;
    root = prefix + text.substr(at, share - at) + L'\\';
    return std::min(text.size(), share + 1);
}

}  // namespace

DrivePath splitAtDriveRoot(const fs::path& path)
{
    std::wstring text = path.wstring();
    std::replace(text.begin(), text.end(), L'/', L'\\');
    std::wstring root;
    std::size_t length = windowsRootLength(text, root);
    if (length == 0) {
        std::error_code ec;
        text = fs::absolute(path, ec).wstring();
        std::replace(text.begin(), text.end(), L'/', L'\\');
        length = windowsRootLength(text, root);
        if (length == 0) {
            return {fs::path(L"C:\\"), fs::path()};
        }
    }
    std::vector<std::wstring> parts;
    std::size_t start = length;
    while (start < text.size()) {
        std::size_t end = text.find(L'\\', start);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        const std::wstring part = text.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == L".") {
            continue;
        }
        if (part == L"..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.push_back(part);
    }
    fs::path below;
    for (const std::wstring& part : parts) {
        below /= part;
    }
    return {fs::path(root), below};
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
