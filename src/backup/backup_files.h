// Where a backup lives in the backup folder, and how a freshly packed
// archive takes the place of an older backup of the same name without
// losing it on the way.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace gm::backup {

// The longest end a backup's name gets in the names of the files a backup
// writes: NAME.zip and NAME.dat, the archive while it is packed
// (NAME.zip.tmp) and libzip's temporary file beside it (NAME.zip.tmp. and
// six letters on POSIX, eight hex digits on Windows). A name the backup
// window takes must fit a file name with this end.
inline constexpr std::string_view kLongestBackupFileEnd = ".zip.tmp.00000000";

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

// Where the journals of backups and restores in flight are kept: the
// folder of the program's own files + "Journal".
std::filesystem::path journalFolder(const std::filesystem::path& ownFilesFolder);

// Removes what a packing left under newArchivePath (a failed, cancelled or
// crashed one). These are the program's own temporary files, not backups.
void removeNewArchive(const std::filesystem::path& backupFolder, const std::string& name);

// Removes a backup that was just made and is not needed (archive and index).
void discardBackup(const std::filesystem::path& backupFolder, const std::string& name);

// The name of the backup that undoes a restore of `backup` made at `when`
// ("yyyy-MM-dd HH.mm.ss"): backup + " before restore " + when, and " (n)"
// for n of 2 or more, so that it differs from an undo backup made in the
// same second. An undo backup's own undo backup is named after the backup
// it came from: one " before restore " suffix, the newest time. The part
// taken from the backup's name is shortened (at a whole character) so that
// every file the undo backup writes has a name the file system takes; a
// restore never fails for its undo backup's name.
std::string undoBackupName(const std::string& backup, const std::string& when, int n = 1);

// The text an index lists a file under: "\" and its path below the game
// directory ("\players\Ann\playrecs.ini"), or its full path when it lies
// elsewhere (a backup made from another game folder). UTF-8. Names compare
// as the file system compares them: without letter case on Windows, where
// "c:\quillon\gridmark" is the folder C:\Quillon\Gridmark.
std::string gameRelativeText(const std::filesystem::path& file, const std::filesystem::path& gameDirectory);

}  // namespace gm::backup
