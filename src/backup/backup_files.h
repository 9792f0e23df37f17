// Where a backup lives in the backup folder, and how a freshly packed
// archive takes the place of an older backup of the same name without
// losing it on the way.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace gm::backup {

// backup folder / (name + ".zip") and / (name + ".dat"). The name is UTF-8.
std::filesystem::path archivePath(const std::filesystem::path& backupFolder, const std::string& name);
std::filesystem::path indexPath(const std::filesystem::path& backupFolder, const std::string& name);
// The name a new archive is packed under until it is complete. It ends in
// ".tmp", so it is never taken for a backup.
std::filesystem::path newArchivePath(const std::filesystem::path& backupFolder, const std::string& name);

enum class CommitStatus {
    Ok,
    OldArchiveNotRecycled,  // the older archive could not go to the Recycle Bin: nothing changed
    ArchiveNotRenamed,      // the new archive could not take its name
    IndexNotWritten,        // the archive is in place, its index file could not be written
};

// Puts a complete new archive (at newArchivePath) in place as the backup
// `name`: an older archive of that name goes to the Recycle Bin first, then
// the new archive takes the name and the index file is written atomically
// with `indexEntries`. On OldArchiveNotRecycled and ArchiveNotRenamed the
// new archive is removed again.
CommitStatus commitBackup(const std::filesystem::path& backupFolder, const std::string& name,
                          const std::vector<std::string>& indexEntries);

// The index entries of what a packing took: `entries[i]` is the entry of
// `names[i]` (as it was given to AddFile); the entries of the names in
// `leftOut` go, so that an index lists exactly what its archive holds.
std::vector<std::string> packedEntries(const std::vector<std::string>& names, const std::vector<std::string>& entries,
                                       const std::vector<std::string>& leftOut);

// Where the journals of backups and restores in flight are kept: the
// folder of the program's own files + "Journal".
std::filesystem::path journalFolder(const std::filesystem::path& ownFilesFolder);

// Removes what a packing left under newArchivePath (a failed, cancelled or
// crashed one). These are the program's own temporary files, not backups.
void removeNewArchive(const std::filesystem::path& backupFolder, const std::string& name);

// Removes a backup that was just made and is not needed (archive and index).
void discardBackup(const std::filesystem::path& backupFolder, const std::string& name);

// The text an index lists a file under: "\" and its path below the game
// directory ("\players\Ann\playrecs.ini"), or its full path when it lies
// elsewhere (a backup made from another game folder). UTF-8. Names compare
// as the file system compares them: without letter case on Windows, where
// "c:\quillon\gridmark" is the folder C:\Quillon\Gridmark.
std::string gameRelativeText(const std::filesystem::path& file, const std::string& gameDirectory);

}  // namespace gm::backup
