#include "backup/make_backup.h"

#include <algorithm>
#include <new>
#include <set>
#include <system_error>

#include "backup/backup_files.h"
#include "backup/entry_reuse.h"
#include "backup/message_log.h"
#include "backup/name_case.h"
#include "backup/work_journal.h"
#include "backup/zip_builder.h"
#include "backup/zip_error.h"
#include "platform/ansi_text.h"
#include "platform/fs.h"

namespace gm::backup {

namespace fs = std::filesystem;

std::vector<BackupFile> gameFiles(const fs::path& gameDirectory, const std::vector<std::string>& relatives)
{
    std::vector<BackupFile> files;
    files.reserve(relatives.size());
    for (const std::string& relative : relatives) {
        files.push_back({platform::appendGamePath(gameDirectory, relative), relative});
    }
    return files;
}

BackupOutcome makeBackup(const BackupRequest& request, WorkProgress& progress)
{
    if (request.journalFolder.empty()) {
        return makeBackup(request, progress, nullptr);
    }
    cleanUpEndedWork(request.journalFolder);
    WorkJournal journal(request.journalFolder);
    const BackupOutcome outcome = makeBackup(request, progress, &journal);
    journal.finish();  // every way out removed the archive in flight or gave it its name
    return outcome;
}

BackupOutcome makeBackup(const BackupRequest& request, WorkProgress& progress, WorkJournal* journal)
{
    BackupOutcome outcome;
    const auto error = [&outcome](std::int32_t number, const std::string& description) {
        outcome.status = BackupStatus::Error;
        outcome.errorNumber = number;
        outcome.errorDescription = description;
        return outcome;
    };
    // The rules of the zip file list: a table of 1023 names, compared
    // without letter case.
    if (request.files.size() > kMaxBackupFiles) {
        return error(kErrorSubscriptOutOfRange, "Subscript out of range");
    }
    std::set<std::string> keys;
    for (const BackupFile& file : request.files) {
        if (!keys.insert(upperCaseName(platform::fromPath(file.path))).second) {
            return error(kErrorAlreadyInList, "File is already in Zip List");
        }
    }
    const fs::path& folder = request.backupFolder;
    if (!platform::folderExists(folder)) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec || !platform::folderExists(folder)) {
            return error(kErrorPathAccess, kPathAccessText);
        }
    }

    try {
        code_module::clearMessageLog();
        const fs::path archive = newArchivePath(folder, request.name);
        if (journal != nullptr) {
            journal->archive(archive);
        }
        std::vector<PackItem> items;
        items.reserve(request.files.size());
        for (const BackupFile& file : request.files) {
            items.push_back({file.path, entryNameFor(file.path), platform::fromPath(file.path)});
        }
        PackOptions options;
        options.reuseFrom = reuseSourcesFor(folder, request.name);
        options.progress = &progress;
        const PackResult packed = packArchive(archive, items, options);
        outcome.log = code_module::messageLog();
        outcome.reused = packed.reused;
        if (progress.cancelRequested) {
            // Cancelled, even if the packing had just finished.
            removeNewArchive(folder, request.name);
            outcome.status = BackupStatus::Cancelled;
            return outcome;
        }
        if (packed.code != kZipOk) {
            removeNewArchive(folder, request.name);
            outcome.status = BackupStatus::NotPacked;
            return outcome;
        }
        // Files gone or unreadable since they were listed are neither in
        // the archive nor in its index.
        outcome.leftOut = packed.leftOut;
        std::vector<std::string> index;
        for (std::size_t i = 0; i < request.files.size(); ++i) {
            if (std::find(packed.leftOut.begin(), packed.leftOut.end(), i) == packed.leftOut.end()) {
                index.push_back(platform::utf8ToAnsi(request.files[i].indexText));
            }
        }
        switch (commitBackup(folder, request.name, index)) {
        case CommitStatus::Ok:
            outcome.status = BackupStatus::Made;
            break;
        case CommitStatus::OldArchiveNotRecycled:
            outcome.status = BackupStatus::OldArchiveNotRecycled;
            break;
        case CommitStatus::ArchiveNotRenamed:
        case CommitStatus::IndexNotWritten:
            outcome.status = BackupStatus::NotWritten;
            break;
        }
        return outcome;
    } catch (const std::bad_alloc&) {
        removeNewArchive(folder, request.name);
        return error(kErrorOutOfMemory, kOutOfMemoryText);
    } catch (const std::exception& failure) {
        removeNewArchive(folder, request.name);
        return error(kErrorInternal, failure.what());
    }
}

}  // namespace gm::backup
