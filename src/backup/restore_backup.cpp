#include "backup/restore_backup.h"

#include <algorithm>
#include <ctime>
#include <mutex>
#include <system_error>
#include <vector>

#include "backup/backup_files.h"
#include "backup/make_backup.h"
#include "backup/message_log.h"
#include "backup/work_journal.h"
#include "backup/zip_extractor.h"
#include "platform/fs.h"

namespace gm::backup {

namespace fs = std::filesystem;

std::string undoNameFor(const fs::path& backupFolder, const std::string& backup,
                        std::chrono::system_clock::time_point when)
{
    char text[32] = {};
    {
        // localtime's result is shared by every caller.
        static std::mutex mutex;
        const std::lock_guard lock(mutex);
        const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
        if (const std::tm* local = std::localtime(&seconds); local != nullptr) {
            std::strftime(text, sizeof text, "%Y-%m-%d %H.%M.%S", local);
        }
    }
    std::string name = undoBackupName(backup, text);
    for (int n = 2; platform::pathExists(archivePath(backupFolder, name)) ||
                    platform::pathExists(indexPath(backupFolder, name));
         ++n) {
        name = undoBackupName(backup, text, n);
    }
    return name;
}

RestoreProgress::Amount RestoreProgress::amount() const
{
    const auto part = [](const WorkProgress& work, std::uint64_t weight) {
        const std::uint64_t total = work.bytesTotal;
        if (total == 0 || weight == 0) {
            return std::uint64_t{0};
        }
        const double share = static_cast<double>(std::min<std::uint64_t>(work.bytesDone, total)) /
                             static_cast<double>(total);
        return static_cast<std::uint64_t>(share * static_cast<double>(weight));
    };
    const std::uint64_t compared = compare.bytesTotal;
    const std::uint64_t total = compared + undoPlanned + unpackPlanned;
    if (total == 0) {
        return {};
    }
    const std::uint64_t done = part(compare, compared) + part(undo, undoPlanned) + part(unpack, unpackPlanned);
    // The total grows as the restore learns what it has to do: what the
    // bar shows never goes back.
    const auto permille = static_cast<std::uint64_t>(static_cast<double>(std::min(done, total)) /
                                                     static_cast<double>(total) * 1000.0);
    std::uint64_t shown = shownPermille_;
    while (permille > shown && !shownPermille_.compare_exchange_weak(shown, permille)) {
    }
    return {std::max(shown, permille), 1000};
}

void RestoreProgress::cancel()
{
    compare.cancelRequested = true;
    undo.cancelRequested = true;
    unpack.cancelRequested = true;
}

bool RestoreProgress::cancelled() const
{
    return compare.cancelRequested || undo.cancelRequested || unpack.cancelRequested;
}

namespace {

RestoreOutcome restoreWith(const RestoreRequest& request, UnzipQuestions* questions, RestoreProgress& progress,
                           WorkJournal* journal)
{
    RestoreOutcome outcome;
    code_module::clearMessageLog();
    Unpacking unpacking(archivePath(request.backupFolder, request.name), request.root, UnpackOptions());
    unpacking.setQuestions(questions);
    unpacking.setJournal(journal);
    const auto ended = [&](std::int32_t result) {
        const UnzipReport& report = unpacking.report();
        // Files equal to their entries count as restored once the restore
        // has put the others in place; a restore that stopped restored none.
        const bool placed = result == kUnzipOk || result == kUnzipBadPassword;
        outcome.filesWritten = report.filesRestored;
        outcome.filesRestored = report.filesRestored + (placed ? report.filesInPlace : 0);
        outcome.notPutBack = report.notPutBack;
        if (result == kUnzipOk) {
            outcome.status = RestoreStatus::Restored;
        } else if (result == kUnzipRefused) {
            outcome.status = RestoreStatus::Refused;
            outcome.refusedEntry = report.refusedEntry;
            outcome.refusedReason = report.refusedReason;
            outcome.refusedUnsafe = report.refusedUnsafe;
        } else if (result == kUnzipCancelled || progress.cancelled()) {
            outcome.status = RestoreStatus::Cancelled;
        } else {
            outcome.status = RestoreStatus::Failed;
            outcome.failure = describeFailure(result, report);
            outcome.log = code_module::messageLog();
        }
        return outcome;
    };

    // Every entry checked; the game files compared with the archive, and
    // those that are equal left alone; the questions answered.
    std::int32_t result = unpacking.check();
    outcome.fileCount = unpacking.fileCount();
    if (result == kUnzipOk) {
        // Until the comparison shows what differs, the undo backup and the
        // unpacking are reckoned at their most, every file of the archive:
        // the bar then never shows the restore as done while they are still
        // to come (the total shrinks once the real amounts are known).
        progress.undoPlanned = unpacking.bytesOfFiles();
        progress.unpackPlanned = unpacking.bytesOfFiles();
        result = unpacking.compare(&progress.compare);
    }
    if (result == kUnzipOk) {
        result = unpacking.ask();
    }
    if (result == kUnzipOk && progress.cancelled()) {
        result = kUnzipCancelled;
    }
    if (result != kUnzipOk) {
        return ended(result);
    }

    // The game files the restore replaces go into the undo backup first.
    const std::string asked = code_module::messageLog();
    const std::vector<fs::path> replaced = unpacking.replacedTargets();
    std::uint64_t replacedBytes = 0;
    for (const fs::path& file : replaced) {
        std::error_code ec;
        const std::uintmax_t size = fs::file_size(file, ec);
        replacedBytes += ec ? 0 : size;
    }
    progress.undoPlanned = replacedBytes;
    progress.unpackPlanned = unpacking.bytesToUnpack();
    bool undoMade = false;
    if (!replaced.empty()) {
        BackupRequest undo;
        undo.backupFolder = request.backupFolder;
        undo.name = request.undoName;
        for (const fs::path& file : replaced) {
            undo.files.push_back({file, gameRelativeText(file, request.gameDirectory)});
        }
        const BackupOutcome made = makeBackup(undo, progress.undo, journal);
        // Every file that is to be replaced must be in it: one that could
        // not be read (and is still there) would be lost.
        const bool complete = std::none_of(made.leftOut.begin(), made.leftOut.end(), [&](std::size_t i) {
            return platform::pathExists(replaced[i]);
        });
        if (made.status != BackupStatus::Made || !complete || progress.cancelled()) {
            if (made.status != BackupStatus::Cancelled) {
                discardBackup(request.backupFolder, request.undoName);
            }
            if (made.status == BackupStatus::Cancelled || progress.cancelled()) {
                outcome.status = RestoreStatus::Cancelled;
                return outcome;
            }
            outcome.status = RestoreStatus::UndoFailed;
            outcome.log = made.status == BackupStatus::Error
                              ? std::to_string(made.errorNumber) + " " + made.errorDescription
                              : made.log;
            return outcome;
        }
        undoMade = true;
    }

    code_module::clearMessageLog();
    code_module::appendMessage(asked);
    result = unpacking.unpack(&progress.unpack);
    // An undo backup of a restore that changed no file is not needed; one
    // whose failed restore could not put every file back is kept.
    if (undoMade && unpacking.report().filesRestored == 0 && !unpacking.report().notPutBack) {
        discardBackup(request.backupFolder, request.undoName);
    } else if (undoMade) {
        outcome.undoName = request.undoName;
    }
    return ended(result);
}

}  // namespace

RestoreOutcome restoreBackup(const RestoreRequest& request, UnzipQuestions* questions, RestoreProgress& progress)
{
    if (request.journalFolder.empty()) {
        return restoreWith(request, questions, progress, nullptr);
    }
    // What ended work left first; then this restore's files in flight are
    // noted, so that the next restore cleans up should this one not end.
    cleanUpEndedWork(request.journalFolder);
    WorkJournal journal(request.journalFolder);
    const RestoreOutcome outcome = restoreWith(request, questions, progress, &journal);
    // Files it could not put back stay in the journal for the next clean-up.
    if (!outcome.notPutBack) {
        journal.finish();
    }
    return outcome;
}

}  // namespace gm::backup
