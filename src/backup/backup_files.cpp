#include "backup/backup_files.h"

#include <algorithm>
#include <system_error>

#include "backup/backup_index.h"
#include "backup/name_case.h"
#include "common/file_names.h"
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

namespace {

// True when `text` ends in " before restore YYYY-MM-DD HH.MM.SS", with a
// " (n)" after it or not; `base` then receives what comes before.
bool isUndoName(const std::string& text, std::string& base)
{
    static constexpr std::string_view kBefore = " before restore ";
    static constexpr std::string_view kTime = "0000-00-00 00.00.00";
    std::string_view rest = text;
    if (rest.ends_with(')')) {
        const std::size_t open = rest.rfind(" (");
        if (open == std::string_view::npos || open + 3 > rest.size() - 1) {
            return false;
        }
        for (const char c : rest.substr(open + 2, rest.size() - open - 3)) {
            if (c < '0' || c > '9') {
                return false;
            }
        }
        rest = rest.substr(0, open);
    }
    if (rest.size() < kBefore.size() + kTime.size()) {
        return false;
    }
    const std::string_view time = rest.substr(rest.size() - kTime.size());
    for (std::size_t i = 0; i < kTime.size(); ++i) {
        const bool digit = time[i] >= '0' && time[i] <= '9';
        if (kTime[i] == '0' ? !digit : time[i] != kTime[i]) {
            return false;
        }
    }
    rest.remove_suffix(kTime.size());
    if (!rest.ends_with(kBefore)) {
        return false;
    }
    rest.remove_suffix(kBefore.size());
    base = std::string(rest);
    return true;
}

}  // namespace

std::string undoBackupName(const std::string& backup, const std::string& when, int n)
{
    std::string base = backup;
    for (std::string inner; isUndoName(base, inner);) {
        base = inner;
    }
    const std::string suffix = " before restore " + when + (n >= 2 ? " (" + std::to_string(n) + ")" : "");
    while (!base.empty() && !common::fitsFileNameLength(base + suffix, kLongestBackupFileEnd)) {
        // One whole character off the end: its continuation bytes, then its first.
        while (base.size() > 1 && (static_cast<unsigned char>(base.back()) & 0xC0) == 0x80) {
            base.pop_back();
        }
        base.pop_back();
    }
    return base + suffix;
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

std::string gameRelativeText(const fs::path& file, const fs::path& gameDirectory)
{
    const platform::DrivePath where = platform::splitAtDriveRoot(file);
    const platform::DrivePath game = platform::splitAtDriveRoot(gameDirectory);
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
