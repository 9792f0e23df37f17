#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>
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
