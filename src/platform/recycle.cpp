#include "platform/recycle.h"

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QUrl>

#include "platform/fs.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#include <string>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>
#endif

namespace gm::platform {

#ifndef _WIN32

namespace {

fs::path userTrash()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && *data == '/') {
        return fs::path(data) / "Trash";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home != '/') {
        return {};
    }
    return fs::path(home) / ".local" / "share" / "Trash";
}

// Creates the folders of the user's trash that are missing, each for the
// user alone (mode 0700), as the trash and base-folder rules ask.
bool makeUserTrash(const fs::path& trash)
{
    std::error_code ec;
    fs::path folder;
    for (const fs::path& part : trash) {
        folder /= part;
        if (fs::create_directory(folder, ec)) {
            fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
        }
    }
    for (const char* sub : {"files", "info"}) {
        if (fs::create_directory(trash / sub, ec)) {
            fs::permissions(trash / sub, fs::perms::owner_all, fs::perm_options::replace, ec);
        }
    }
    return fs::is_directory(trash / "files", ec) && fs::is_directory(trash / "info", ec);
}

// True when `inTrash` is a file's place in a trash: the files/ folder of
// the user's trash, or of a mount's own ($topdir/.Trash/$uid or
// $topdir/.Trash-$uid).
bool liesInATrash(const fs::path& inTrash, const fs::path& userTrashFolder)
{
    if (!inTrash.is_absolute() || inTrash.parent_path().filename() != "files") {
        return false;
    }
    const fs::path trash = inTrash.parent_path().parent_path();
    std::error_code ec;
    if (!userTrashFolder.empty() && fs::equivalent(trash, userTrashFolder, ec)) {
        return true;
    }
    const std::string uid = std::to_string(::getuid());
    return trash.filename() == ".Trash-" + uid ||
           (trash.filename() == uid && trash.parent_path().filename() == ".Trash");
}

// The system trash through Qt. Qt 6.4 takes the user's trash folder for
// granted: without ~/.local/share it makes files/ and info/ in the current
// folder and reports success. So the user's trash is made first, and a
// place outside any trash is undone and counted as a refusal.
bool qtTrash(const fs::path& path)
{
    const fs::path trash = userTrash();
    if (!trash.empty()) {
        makeUserTrash(trash);
    }
    QString inTrash;
    if (!QFile::moveToTrash(QString::fromStdString(fromPath(path)), &inTrash)) {
        return false;
    }
    const fs::path placed = toPath(inTrash.toStdString());
    if (liesInATrash(fs::absolute(placed), trash)) {
        return true;
    }
    std::error_code ec;
    fs::rename(placed, path, ec);
    const fs::path stray = placed.parent_path().parent_path();
    fs::remove(stray / "info" / (placed.filename().string() + ".trashinfo"), ec);
    fs::remove(stray / "files", ec);  // only when empty
    fs::remove(stray / "info", ec);
    return false;
}

// Creates the .trashinfo record under a name no other trashed file has
// (O_EXCL claims the name, as the trash rules ask) and returns that name.
std::string claimTrashName(const fs::path& info, const fs::path& original)
{
    const std::string base = original.filename().string();
    const QByteArray record = "[Trash Info]\nPath=" +
                              QUrl::toPercentEncoding(QString::fromStdString(fromPath(original)), "/") +
                              "\nDeletionDate=" +
                              QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toUtf8() +
                              "\n";
    for (int n = 1; n < 10000; ++n) {
        const std::string name = n == 1 ? base : base + "." + std::to_string(n);
        const fs::path file = info / (name + ".trashinfo");
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return {};
        }
        const auto size = static_cast<std::size_t>(record.size());
        const bool written = ::write(fd, record.constData(), size) == static_cast<ssize_t>(size);
        const bool closed = ::close(fd) == 0;
        if (written && closed) {
            return name;
        }
        ::unlink(file.c_str());
        return {};
    }
    return {};
}

}  // namespace

int copyToUserTrash(const fs::path& path)
{
    try {
        if (!fileExists(path)) {
            return 2;
        }
        const fs::path trash = userTrash();
        if (trash.empty()) {
            return 1;
        }
        if (!makeUserTrash(trash)) {
            return 1;
        }
        const fs::path files = trash / "files";
        const fs::path info = trash / "info";
        std::error_code ec;
        const fs::path original = fs::absolute(path);
        const std::string name = claimTrashName(info, original);
        if (name.empty()) {
            return 1;
        }
        const fs::path copy = files / name;
        const fs::path record = info / (name + ".trashinfo");
        const auto forget = [&] {
            std::error_code ignored;
            fs::remove(copy, ignored);
            fs::remove(record, ignored);
        };
        if (!fs::copy_file(original, copy, fs::copy_options::none, ec) || ec) {
            forget();
            return 1;
        }
        const fs::file_time_type modified = fs::last_write_time(original, ec);
        if (!ec) {
            fs::last_write_time(copy, modified, ec);
        }
        if (!fs::remove(original, ec) || ec) {
            forget();  // the file stays where it was: not deleted, and said so
            return 1;
        }
        return 0;
    } catch (...) {
        return 1;
    }
}

int moveToRecycleBinVia(const fs::path& path, bool (*systemTrash)(const fs::path&))
{
    try {
        if (!fileExists(path)) {
            return 2;
        }
        if (systemTrash(path)) {
            return 0;
        }
        if (!fileExists(path)) {
            return 1;  // gone without landing in the trash: nothing left to copy
        }
        return copyToUserTrash(path);
    } catch (...) {
        return 1;
    }
}

#endif

int moveToRecycleBin(const std::filesystem::path& path)
{
    try {
        if (!fileExists(path)) {
            return 2;  // the Windows code for "file not found"
        }
#ifdef _WIN32
        // One path, ended by two NULs; allow undo, ask no confirmation.
        std::wstring from = std::filesystem::absolute(path).wstring();
        from.push_back(L'\0');
        from.push_back(L'\0');
        SHFILEOPSTRUCTW op{};
        op.hwnd = nullptr;
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.pTo = nullptr;
        op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
        return SHFileOperationW(&op);
#else
        return moveToRecycleBinVia(path, qtTrash);
#endif
    } catch (...) {
        return 1;
    }
}

}  // namespace gm::platform
