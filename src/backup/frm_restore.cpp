#include "backup/frm_restore.h"

#include <QDateTime>
#include <QPointer>
#include <QSignalBlocker>
#include <atomic>
#include <new>
#include <optional>
#include <system_error>
#include <vector>

#include "backup/archive_entries.h"
#include "backup/backup_files.h"
#include "backup/backup_index.h"
#include "backup/frm_progress.h"
#include "backup/work_journal.h"
#include "backup/work_progress.h"
#include "backup/zip_builder.h"
#include "backup/zip_error.h"
#include "backup/zip_extractor.h"
#include "platform/codec.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "shell/recycle_file.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"
#include "ui/sorted_list.h"

namespace gm::backup {

namespace fs = std::filesystem;

QString refusedBackupText(const QString& backup, const QString& entry)
{
    return QStringLiteral("The backup ") + backup +
           QStringLiteral(" cannot be restored: its file \"") + entry +
           QStringLiteral("\" would be written outside the folders it belongs in, or is not a plain file. "
                          "Nothing was restored.");
}

QString unwritableBackupText(const QString& backup, const QString& entry, const QString& reason)
{
    return QStringLiteral("The backup ") + backup + QStringLiteral(" cannot be restored here: its file \"") + entry +
           QStringLiteral("\" cannot be written (") + reason + QStringLiteral("). Nothing was restored.");
}

QString undoBackupFailedText(const QString& backup)
{
    return QStringLiteral("Could not back up the files that restoring ") + backup +
           QStringLiteral(" would replace. Nothing was restored.");
}

QString restoreCancelledText(std::uint64_t restored, std::uint64_t total)
{
    return QStringLiteral("The restore was cancelled. %1 of %2 files were restored.").arg(restored).arg(total);
}

QString restoreFailedText(std::uint64_t restored, std::uint64_t total)
{
    return QStringLiteral("The restore failed. %1 of %2 files were restored.").arg(restored).arg(total);
}

namespace {

// Run-time errors outside the archive classes, shown with the numbers of
// the language the program was first written in.
constexpr int kErrorOutOfMemory = 7;
constexpr const char* kOutOfMemoryText = "Out of memory";
constexpr int kErrorInternal = 51;

// The unpacker's questions, asked with the window's dialogs on the window
// thread while the unpacking waits on its worker thread.
class WindowQuestions final : public UnzipQuestions {
public:
    WindowQuestions(QWidget* owner, ui::Dialogs* dialogs) : owner_(owner), dialogs_(dialogs) {}

    int replaceFile(const std::string& name) override
    {
        int answer = kReplaceNo;
        runOnWindowThread(owner_, [this, &name, &answer] {
            switch (dialogs_->message(owner_, QStringLiteral("Overwrite ") + QString::fromStdString(name) +
                                                  QStringLiteral("?"),
                                      ui::Buttons::YesNoCancel, ui::Icon::Exclamation, kReplaceTitle)) {
            case ui::Answer::Yes:
                answer = kReplaceYes;
                break;
            case ui::Answer::No:
                answer = kReplaceNo;
                break;
            case ui::Answer::Ok:
            case ui::Answer::Cancel:
                answer = kReplaceCancel;
                break;
            }
        });
        return answer;
    }

    std::optional<std::string> password(const std::string& /*entryName*/) override
    {
        std::optional<QString> answer;
        runOnWindowThread(owner_, [this, &answer] { answer = dialogs_->input(owner_, kPasswordPrompt); });
        if (!answer || answer->isEmpty()) {
            return std::nullopt;
        }
        return platform::toAnsi(*answer);
    }

private:
    QWidget* owner_;
    ui::Dialogs* dialogs_;
};

// One restore: what the worker thread was given, what it reports while it
// runs and what it found.
struct RestoreRun {
    std::string archive;           // B + ".zip"
    fs::path root;                 // the drive root of the game directory
    fs::path backupFolder;
    std::string gameDirectory;
    std::string undoName;
    WorkJournal* journal = nullptr;  // the files in flight, for the next restore should this one not end

    // The bytes of the two pieces of work, known once the archive has been
    // compared with the game files; until then the bar is busy.
    std::atomic<std::uint64_t> undoBytes{0};
    std::atomic<std::uint64_t> unzipBytes{0};
    std::atomic<bool> sized{false};
    std::atomic<bool> cancel{false};
    WorkProgress undoWork;
    WorkProgress unzipWork;

    std::string refusedEntry;      // an entry that kept the backup from being restored: nothing was written
    std::string refusedReason;
    bool refusedUnsafe = true;     // it would land elsewhere or is no plain file (else: it cannot be made here)
    bool undoFailed = false;
    std::string undoMessage;       // the packer's messages when the undo backup failed
    bool undoMade = false;
    bool unzipRan = false;
    std::int32_t unzipResult = kUnzipOk;
    std::string unzipMessage;
    std::string unzipFailure;      // what went wrong, in a sentence (describeFailure)
    std::uint64_t filesRestored = 0;
    std::uint64_t fileCount = 0;
    bool notPutBack = false;       // files moved aside are still aside: the journal keeps them
};

// Packs the game files the restore would replace into the undo backup.
// False when it could not be made (the restore must then not go on).
bool makeUndoBackup(RestoreRun& run, const std::vector<fs::path>& files)
{
    CGZipFiles zip;
    run.journal->archive(newArchivePath(run.backupFolder, run.undoName));
    zip.setZipFileName(platform::fromPath(newArchivePath(run.backupFolder, run.undoName)));
    zip.setUpdatingZip(false);
    std::vector<std::string> names;
    std::vector<std::string> entries;
    try {
        for (const fs::path& file : files) {
            names.push_back(platform::fromPath(file));
            zip.AddFile(names.back());
            entries.push_back(platform::toAnsi(QString::fromStdString(gameRelativeText(file, run.gameDirectory))));
        }
        zip.setWorkProgress(&run.undoWork);
        const std::int32_t result = zip.MakeZipFile();
        if (result != kZipOk) {
            run.undoMessage = zip.GetLastMessage();
            removeNewArchive(run.backupFolder, run.undoName);
            return run.cancel;  // a cancel is not a failure
        }
    } catch (const ZipError& error) {
        run.undoMessage = std::to_string(error.number()) + " " + error.description();
        removeNewArchive(run.backupFolder, run.undoName);
        return false;
    }
    if (run.cancel) {
        removeNewArchive(run.backupFolder, run.undoName);
        return true;
    }
    const CommitStatus status =
        commitBackup(run.backupFolder, run.undoName, packedEntries(names, entries, zip.leftOut()));
    if (status != CommitStatus::Ok) {
        discardBackup(run.backupFolder, run.undoName);
        return false;
    }
    run.undoMade = true;
    return true;
}

// The work of a restore, on the worker thread: check every entry, keep the
// game files it would replace in the undo backup, then unpack.
void restoreWork(RestoreRun& run, UnzipQuestions& questions)
{
    const ArchiveListing listing = listArchive(run.archive);
    if (listing.ok) {
        std::vector<std::pair<fs::path, const ArchiveEntry*>> files;
        std::vector<PlannedTarget> targets;
        for (const ArchiveEntry& entry : listing.entries) {
            const std::optional<fs::path> target = checkEntryName(run.root, entry.name);
            if (!target) {
                run.refusedEntry = entry.name;
                return;
            }
            targets.push_back({entry.name, *target, entry.isFolder});
            if (!entry.isFolder) {
                files.emplace_back(*target, &entry);
            }
        }
        // Names this file system cannot hold, or two entries for one place:
        // refused before the undo backup, as the unpacking would refuse them.
        if (const std::optional<TargetProblem> problem = checkTargets(run.root, targets)) {
            run.refusedEntry = problem->entry;
            run.refusedReason = problem->reason;
            run.refusedUnsafe = false;
            return;
        }
        run.fileCount = files.size();
        std::uint64_t unzipBytes = 0;
        std::uint64_t undoBytes = 0;
        std::vector<fs::path> replaced;
        for (const auto& [target, entry] : files) {
            if (run.cancel) {
                return;
            }
            unzipBytes += entry->size;
            if (compareWithEntry(target, *entry) == FileComparison::Differs) {
                std::error_code ec;
                const std::uintmax_t size = fs::file_size(target, ec);
                undoBytes += ec ? 0 : size;
                replaced.push_back(target);
            }
        }
        run.unzipBytes = unzipBytes;
        run.undoBytes = undoBytes;
        run.sized = true;
        if (!replaced.empty() && !makeUndoBackup(run, replaced)) {
            run.undoFailed = true;
            return;
        }
    }
    if (run.cancel) {
        return;
    }
    CGUnzipFiles unzip;
    unzip.setZipFileName(run.archive);
    unzip.setExtractDir(platform::fromPath(run.root));
    unzip.setHonorDirectories(true);
    unzip.setQuestions(&questions);
    unzip.setWorkProgress(&run.unzipWork);
    unzip.setJournal(run.journal);
    run.unzipRan = true;
    run.unzipResult = unzip.Unzip();
    run.unzipMessage = unzip.GetLastMessage();
    run.unzipFailure = describeFailure(run.unzipResult, unzip.lastReport());
    run.filesRestored = unzip.lastReport().filesRestored;
    run.notPutBack = unzip.lastReport().notPutBack;
    if (run.unzipResult == kUnzipRefused) {
        run.refusedEntry = unzip.lastReport().refusedEntry;
        run.refusedReason = unzip.lastReport().refusedReason;
        run.refusedUnsafe = unzip.lastReport().refusedUnsafe;
    }
}

// A run-time error as the restore shows it: number, tag, description.
QString errorText(const QString& number, const QString& description)
{
    return number + QLatin1Char(' ') + kRestoreErrorTag + QLatin1Char(' ') + description;
}

// Part `work` of `weight` bytes done, as bytes of that weight.
std::uint64_t share(const WorkProgress& work, std::uint64_t weight)
{
    const std::uint64_t total = work.bytesTotal;
    if (total == 0) {
        return 0;
    }
    const std::uint64_t done = std::min<std::uint64_t>(work.bytesDone, total);
    return static_cast<std::uint64_t>(static_cast<double>(done) / static_cast<double>(total) *
                                      static_cast<double>(weight));
}

}  // namespace

frmRestore::frmRestore(ui::AppContext& context) : ui::Form(context)
{
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(QStringLiteral("Restore Utility"));
    setSizableFixedSize(5655, 6735);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(false);
    ui::placeTwips(Combo1, 1320, 120, 4215, 315);

    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));
    ui::placeTwips(List2, 120, 480, 5415, 5520);

    Label1 = new QLabel(QStringLiteral("Backup Name"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui::placeTwips(Label1, 120, 120, 1215, 255);

    auto button = [this](ui::CommandButton*& member, const char* name, const QString& caption, int left) {
        member = new ui::CommandButton(caption, this);
        member->setObjectName(QString::fromLatin1(name));
        member->setAutoDefault(false);
        ui::placeTwips(member, left, 6120, 1215, 495);
    };
    button(cmdDelete, "cmdDelete", QStringLiteral("Delete"), 1920);
    button(cmdRestore, "cmdRestore", QStringLiteral("Restore"), 3120);
    button(cmdClose, "cmdClose", QStringLiteral("Close"), 4320);
    cmdClose->setToolTip(QStringLiteral("Go to main screen"));

    const QList<QWidget*> order{Combo1, List2, Label1, cmdDelete, cmdRestore, cmdClose};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }

    connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int index) {
        Combo1->setToolTip(Combo1->currentText());
        if (index >= 0) {
            Combo1_Click();
        }
    });
    connect(cmdRestore, &QPushButton::clicked, this, &frmRestore::cmdRestore_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmRestore::cmdDelete_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmRestore::cmdClose_Click);
}

void frmRestore::Form_Load()
{
    const fs::path folder = context().backupFolder();
    if (platform::folderExists(folder)) {
        const QSignalBlocker block(Combo1);
        for (const platform::DirEntry& entry : platform::listVisible(folder)) {
            if (entry.isFolder || !platform::wildcardMatch("*.dat", entry.name)) {
                continue;
            }
            addBackup(QString::fromStdString(entry.name.substr(0, entry.name.size() - 4)));
        }
        Combo1->setCurrentIndex(-1);
    }
    if (Combo1->count() > 0) {
        Combo1->setCurrentIndex(0);  // shows its files
    }
    showCentred();
}

void frmRestore::addBackup(const QString& name)
{
    // Long names show in full as a tooltip, in the list and on the box.
    Combo1->setItemData(ui::insertSorted(Combo1, name), name, Qt::ToolTipRole);
}

std::string frmRestore::chosenName() const
{
    return Combo1->currentText().toStdString();
}

void frmRestore::critical(const QString& text)
{
    context().dialogs->message(this, text, ui::Buttons::Ok, ui::Icon::Critical);
}

void frmRestore::removeChosenEntry()
{
    const QSignalBlocker block(Combo1);
    Combo1->removeItem(Combo1->currentIndex());
    Combo1->setCurrentIndex(-1);
}

void frmRestore::Combo1_Click()
{
    List2->clear();
    const std::string name = chosenName();
    if (name.empty()) {
        return;
    }
    const fs::path folder = context().backupFolder();
    if (platform::fileExists(archivePath(folder, name))) {
        for (const std::string& entry : readIndexFile(indexPath(folder, name))) {
            auto* item = new QListWidgetItem(platform::fromAnsi(entry), List2);
            item->setToolTip(item->text());  // in full, however narrow the list
        }
        return;
    }
    critical(kNoBackupFile);
    if (shell::RecycleFile(indexPath(folder, name)) != 0) {
        critical(kIndexNotDeleted);
        return;
    }
    removeChosenEntry();
}

void frmRestore::cmdRestore_Click()
{
    const std::string name = chosenName();
    if (name.empty()) {
        return;
    }
    if (context().dialogs->message(this, kAskRestore, ui::Buttons::YesNo, ui::Icon::Question) != ui::Answer::Yes) {
        return;
    }
    // What a crashed or killed backup or restore left, first.
    const fs::path journals = journalFolder(context().ownFilesFolder());
    cleanUpEndedWork(journals);
    WorkJournal journal(journals);

    QPointer<frmProgress> progressWindow = new frmProgress(context(), this);
    progressWindow->Form_Load();
    progressWindow->setWindowTitle(kUnzippingTitle);
    setEnabled(false);
    working_ = true;
    // While this window is disabled, so is every box it owns: the questions
    // of the work belong to the progress window. What the user is told at
    // the end comes once the progress window has gone.
    QWidget* const boxOwner = progressWindow.data();
    Outcome outcome;
    bool thrown = false;  // the work ended by an exception: its journal stays for the next clean-up
    const QString shownName = Combo1->currentText();

    RestoreRun run;
    run.backupFolder = context().backupFolder();
    run.archive = platform::fromPath(archivePath(run.backupFolder, name));
    run.root = platform::driveRoot(platform::toPath(context().gameDirectory));
    run.gameDirectory = context().gameDirectory;
    run.journal = &journal;
    const std::string when = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss")).toStdString();
    run.undoName = undoBackupName(name, when);
    for (int n = 2; platform::pathExists(archivePath(run.backupFolder, run.undoName)) ||
                    platform::pathExists(indexPath(run.backupFolder, run.undoName));
         ++n) {
        run.undoName = undoBackupName(name, when, n);
    }

    try {
        WindowQuestions questions(boxOwner, context().dialogs);
        progressWindow->runWork(
            [&run, &questions] { restoreWork(run, questions); },
            [&run, &progressWindow] {
                // The packing and the unpacking clear their flags when they
                // start: a Cancel pressed before that is passed on again.
                if (progressWindow->cancelRequested()) {
                    run.undoWork.cancelRequested = true;
                    run.unzipWork.cancelRequested = true;
                }
                if (!run.sized) {
                    return frmProgress::Amount{0, 0};
                }
                return frmProgress::Amount{share(run.undoWork, run.undoBytes) + share(run.unzipWork, run.unzipBytes),
                                           run.undoBytes + run.unzipBytes};
            },
            [&run] {
                run.cancel = true;
                run.undoWork.cancelRequested = true;
                run.unzipWork.cancelRequested = true;
            });

        // An undo backup of a restore that changed no file is not needed.
        if (run.undoMade && run.filesRestored == 0) {
            discardBackup(run.backupFolder, run.undoName);
            run.undoMade = false;
        }
        if (run.undoMade) {
            const QSignalBlocker block(Combo1);
            addBackup(QString::fromStdString(run.undoName));
        }

        if (!run.refusedEntry.empty()) {
            const QString entry = QString::fromStdString(run.refusedEntry);
            outcome.add(run.refusedUnsafe
                            ? refusedBackupText(shownName, entry)
                            : unwritableBackupText(shownName, entry, QString::fromStdString(run.refusedReason)),
                        ui::Icon::Critical);
        } else if (run.undoFailed) {
            // One failure, one box: the packer's messages are its details.
            outcome.add(undoBackupFailedText(shownName), ui::Icon::Critical, QString::fromStdString(run.undoMessage));
        } else if (progressWindow->cancelRequested() || run.unzipResult == kUnzipCancelled) {
            outcome.add(restoreCancelledText(run.filesRestored, run.fileCount), ui::Icon::Exclamation);
        } else if (run.unzipResult != kUnzipOk) {
            // One failure, one box: what failed and how many files were
            // restored; the unpacker's log is its details.
            outcome.add(QString::fromStdString(run.unzipFailure) + QLatin1Char(' ') +
                            restoreFailedText(run.filesRestored, run.fileCount),
                        ui::Icon::Critical, QString::fromStdString(run.unzipMessage));
        } else {
            outcome.add(kRestored, ui::Icon::Information);
        }
    } catch (const ZipError& error) {
        thrown = true;
        outcome.add(errorText(QString::number(error.number()), QString::fromStdString(error.description())),
                    ui::Icon::Critical);
    } catch (const std::bad_alloc&) {
        thrown = true;
        outcome.add(errorText(QString::number(kErrorOutOfMemory), QString::fromLatin1(kOutOfMemoryText)),
                    ui::Icon::Critical);
    } catch (const std::exception& error) {
        thrown = true;
        outcome.add(errorText(QString::number(kErrorInternal), QString::fromLocal8Bit(error.what())),
                    ui::Icon::Critical);
    }

    if (!thrown && !run.notPutBack) {
        journal.finish();
    }
    // The progress window goes first; then the box, over this window.
    if (progressWindow) {
        progressWindow->unload();
    }
    setEnabled(true);
    outcome.show(*context().dialogs, this);
    working_ = false;
}

void frmRestore::cmdDelete_Click()
{
    if (Combo1->count() == 0) {
        return;
    }
    if (context().dialogs->message(this, kAskDelete, ui::Buttons::YesNo, ui::Icon::Question) != ui::Answer::Yes) {
        return;
    }
    const std::string name = chosenName();
    if (name.empty()) {
        return;
    }
    const fs::path folder = context().backupFolder();
    if (shell::RecycleFile(archivePath(folder, name)) != 0) {
        critical(kBackupNotDeleted);
        return;
    }
    if (shell::RecycleFile(indexPath(folder, name)) != 0) {
        critical(kIndexNotDeleted);
        return;
    }
    removeChosenEntry();
    List2->clear();
    if (Combo1->count() > 0) {
        Combo1->setCurrentIndex(0);
    }
}

void frmRestore::cmdClose_Click()
{
    unload();
}

void frmRestore::Form_QueryUnload(bool& cancel)
{
    if (working_) {
        cancel = true;
    }
}

void frmRestore::Form_Unload()
{
    showMenu();
}

}  // namespace gm::backup
