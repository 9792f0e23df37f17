#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryFile>
#include <cstdlib>

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

fs::path driveRoot(const fs::path& path)
{
#ifdef _WIN32
    const fs::path absolute = fs::absolute(path);
    return absolute.root_name() / absolute.root_directory();
#else
    const fs::path absolute = path.is_absolute() ? path : fs::absolute(path);
    fs::path prefix;
    fs::path found;
    for (const fs::path& part : absolute.lexically_normal()) {
        prefix /= part;
        if (part == "drive_c") {
            found = prefix;  // the innermost drive_c wins
        }
    }
    return found.empty() ? fs::path("/") : found;
#endif
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
