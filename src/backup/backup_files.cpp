#include "backup/backup_files.h"

#include <algorithm>
#include <system_error>

#include "backup/backup_index.h"
#include "backup/name_case.h"
#include "platform/fs.h"
#include "platform/paths.h"
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

std::vector<std::string> packedEntries(const std::vector<std::string>& names, const std::vector<std::string>& entries,
                                       const std::vector<std::string>& leftOut)
{
    std::vector<std::string> packed;
    for (std::size_t i = 0; i < names.size() && i < entries.size(); ++i) {
        if (std::find(leftOut.begin(), leftOut.end(), names[i]) == leftOut.end()) {
            packed.push_back(entries[i]);
        }
    }
    return packed;
}

fs::path journalFolder(const fs::path& ownFilesFolder)
{
    return ownFilesFolder / "Journal";
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

namespace {

bool sameName(const fs::path& a, const fs::path& b)
{
    const std::string x = platform::fromPath(a);
    const std::string y = platform::fromPath(b);
    return platform::kNamesIgnoreCase ? upperCaseName(x) == upperCaseName(y) : x == y;
}

}  // namespace

std::string gameRelativeText(const fs::path& file, const std::string& gameDirectory)
{
    const platform::DrivePath where = platform::splitAtDriveRoot(file);
    const platform::DrivePath game = platform::splitAtDriveRoot(platform::toPath(gameDirectory));
    auto part = where.below.begin();
    bool inside = sameName(where.root, game.root);
    for (auto folder = game.below.begin(); inside && folder != game.below.end(); ++folder, ++part) {
        inside = part != where.below.end() && sameName(*part, *folder);
    }
    if (!inside || part == where.below.end()) {
        return platform::fromPath(where.root / where.below);
    }
    std::string text;
    for (; part != where.below.end(); ++part) {
        text += "\\" + platform::fromPath(*part);
    }
    return text;
}

}  // namespace gm::backup
