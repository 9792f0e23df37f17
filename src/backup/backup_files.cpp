#include "backup/backup_files.h"

#include <system_error>

#include "backup/backup_index.h"
#include "platform/fs.h"
#include "shell/recycle_file.h"

namespace gm::backup {

namespace fs = std::filesystem;

fs::path archivePath(const fs::path& backupFolder, const std::string& name)
{
    return backupFolder / platform::toPath(name + ".zip");
}

fs::path indexPath(const fs::path& backupFolder, const std::string& name)
{
    return backupFolder / platform::toPath(name + ".dat");
}

fs::path newArchivePath(const fs::path& backupFolder, const std::string& name)
{
    return backupFolder / platform::toPath(name + ".zip.tmp");
}

void removeNewArchive(const fs::path& backupFolder, const std::string& name)
{
    std::error_code ec;
    fs::remove(newArchivePath(backupFolder, name), ec);
}

void discardBackup(const fs::path& backupFolder, const std::string& name)
{
    std::error_code ec;
    fs::remove(archivePath(backupFolder, name), ec);
    fs::remove(indexPath(backupFolder, name), ec);
}

CommitStatus commitBackup(const fs::path& backupFolder, const std::string& name,
                          const std::vector<std::string>& indexEntries)
{
    const fs::path archive = archivePath(backupFolder, name);
    if (platform::pathExists(archive) && shell::RecycleFile(archive) != 0) {
        removeNewArchive(backupFolder, name);
        return CommitStatus::OldArchiveNotRecycled;
    }
    std::error_code ec;
    fs::rename(newArchivePath(backupFolder, name), archive, ec);
    if (ec) {
        removeNewArchive(backupFolder, name);
        return CommitStatus::ArchiveNotRenamed;
    }
    if (!writeIndexFile(indexPath(backupFolder, name), indexEntries)) {
        return CommitStatus::IndexNotWritten;
    }
    return CommitStatus::Ok;
}

}  // namespace gm::backup
