#include "platform/recycle.h"

#include <QFile>
#include <QString>

#include "platform/fs.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#include <string>
#endif

namespace gm::platform {

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
        QString inTrash;
        return QFile::moveToTrash(QString::fromStdString(fromPath(path)), &inTrash) ? 0 : 1;
#endif
    } catch (...) {
        return 1;
    }
}

}  // namespace gm::platform
