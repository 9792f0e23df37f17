// A restore made in one call: what the restore window does once the user
// has said Yes.
//
// Every entry of the backup's archive is checked first (an unsafe archive is
// refused as a whole). Then each game file is compared with its entry (size,
// then CRC, on every core): a file equal to its entry is left as it is and
// counted as restored. The game files that differ are packed into an undo
// backup ("NAME before restore YYYY-MM-DD HH.MM.SS") before any of them is
// touched; when that fails, nothing is restored. Then the entries that
// change something are unpacked to verified temporary files and put in
// place all together or not at all.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "backup/work_progress.h"

namespace gm::backup {

struct UnzipQuestions;

struct RestoreRequest {
    std::filesystem::path backupFolder;
    std::string name;                   // the backup (UTF-8): backupFolder / name + ".zip"
    std::filesystem::path root;         // where the entries are unpacked below: the game directory's drive root
    std::filesystem::path gameDirectory;  // how the undo backup's index lists the files
    std::string undoName;               // the undo backup's name (undoNameFor)
    // The journals of work in flight (see work_journal.h); empty for none.
    // What ended work left is cleaned up first.
    std::filesystem::path journalFolder;
};

// A name for the undo backup of a restore of `backup` that begins at `when`
// (local time), taken by no backup in the folder yet.
std::string undoNameFor(const std::filesystem::path& backupFolder, const std::string& backup,
                        std::chrono::system_clock::time_point when);

// What a restore has done so far, for a progress bar, and its cancel. The
// restore writes it on its thread; any thread may read it and cancel.
class RestoreProgress {
public:
    struct Amount {
        std::uint64_t done = 0;
        std::uint64_t total = 0;
    };
    // The bytes compared, packed into the undo backup and unpacked, of
    // those the restore reckons it has to (a total that changes as it
    // learns, with a share done that never goes back).
    Amount amount() const;
    void cancel();
    bool cancelled() const;

    // The pieces of the work, each with its own counters.
    WorkProgress compare;
    WorkProgress undo;
    WorkProgress unpack;
    std::atomic<std::uint64_t> undoPlanned{0};
    std::atomic<std::uint64_t> unpackPlanned{0};

private:
    mutable std::atomic<std::uint64_t> shownPermille_{0};
};

enum class RestoreStatus {
    Restored,    // every file of the backup is as the archive holds it
    Refused,     // an entry cannot be restored (refusedEntry); nothing was written
    UndoFailed,  // the undo backup could not be made; nothing was written
    Cancelled,   // nothing was written
    Failed,      // the unpacking failed (failure, log)
};

struct RestoreOutcome {
    RestoreStatus status = RestoreStatus::Restored;
    std::string refusedEntry;
    std::string refusedReason;
    bool refusedUnsafe = true;       // it would land elsewhere or is no plain file (else: it cannot be made here)
    std::string log;                 // the undo packer's or the unpacker's messages
    std::string failure;             // Failed: what went wrong, in a sentence
    std::uint64_t fileCount = 0;     // files in the backup
    std::uint64_t filesRestored = 0; // put in place, and (once the others are) those equal already
    std::uint64_t filesWritten = 0;  // of those, the ones written
    std::string undoName;            // the undo backup made and kept; empty when none
    // A failed restore could not put every file back: the files it had
    // moved aside are still where the log says, and its journal stays.
    bool notPutBack = false;
};

// Restores the backup. `questions` (may be null) answers the password
// question of encrypted archives; it is called on this thread. Runs on any
// thread.
RestoreOutcome restoreBackup(const RestoreRequest& request, UnzipQuestions* questions, RestoreProgress& progress);

}  // namespace gm::backup
