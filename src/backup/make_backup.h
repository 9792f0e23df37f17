// A backup made in one call: the files packed into the archive NAME.zip in
// the backup folder, with its index NAME.dat. What the backup window does
// once it has its list and name, and what a restore does for its undo
// backup.
//
// The archive is packed under a temporary name (newArchivePath) and takes
// its name only when complete; an older backup of that name goes to the
// Recycle Bin then, not before. Files unchanged since one of the newest
// backups in the folder have their deflated bytes copied from its archive
// once they are proven to be the same (entry_reuse.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/work_progress.h"

namespace gm::backup {

class WorkJournal;

// One file of a backup.
struct BackupFile {
    std::filesystem::path path;
    // Its line in the index (UTF-8; written in the system code page):
    // "\players\Ann\playrecs.ini", or the full path of a file elsewhere.
    std::string indexText;
};

// The game files `relatives` ("\players\Ann\playrecs.ini") below the game
// directory, each listed in the index as it is given.
std::vector<BackupFile> gameFiles(const std::filesystem::path& gameDirectory, const std::vector<std::string>& relatives);

struct BackupRequest {
    std::filesystem::path backupFolder;  // made when missing
    std::string name;                    // the backup's name (UTF-8), a usable file name
    std::vector<BackupFile> files;       // in index order
    // The journals of work in flight (see work_journal.h); empty for none.
    // What ended work left is cleaned up first.
    std::filesystem::path journalFolder;
};

enum class BackupStatus {
    Made,                   // archive and index in place
    Cancelled,              // nothing changed
    NotPacked,              // the packer failed: `log` says why; nothing changed
    OldArchiveNotRecycled,  // the older archive could not go to the Recycle Bin: nothing changed
    NotWritten,             // the new archive could not take its name, or its index could not be written
    Error,                  // a run-time error (errorNumber, errorDescription); nothing changed
};

struct BackupOutcome {
    BackupStatus status = BackupStatus::Made;
    std::string log;                  // the packer's messages
    std::vector<std::size_t> leftOut; // files gone or unreadable since they were listed: in neither archive nor index
    std::size_t reused = 0;           // entries copied from earlier backups
    std::int32_t errorNumber = 0;     // Error: numbered as the archive classes number theirs
    std::string errorDescription;
};

// Makes the backup. At most kMaxBackupFiles files (more: error 9
// "Subscript out of range"), and no two whose paths differ only in letter
// case (error 0x800407D1 "File is already in Zip List"), as the zip file
// list takes them. Runs on any thread; `progress` counts the bytes packed
// and carries the cancel: a cancel, even one that comes as the packing
// ends, leaves no new archive and no index, and an older backup as it was.
BackupOutcome makeBackup(const BackupRequest& request, WorkProgress& progress);

// The same with a journal the caller holds (a restore's undo backup).
BackupOutcome makeBackup(const BackupRequest& request, WorkProgress& progress, WorkJournal* journal);

// At most this many files go into one backup.
inline constexpr std::size_t kMaxBackupFiles = 1023;

}  // namespace gm::backup
