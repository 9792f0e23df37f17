#include "backup/frm_restore.h"

#include <QPointer>
#include <QSignalBlocker>
#include <chrono>
#include <new>
#include <optional>

#include "backup/backup_files.h"
#include "backup/backup_index.h"
#include "backup/frm_progress.h"
#include "backup/restore_backup.h"
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

// A run-time error as the restore shows it: number, tag, description.
QString errorText(const QString& number, const QString& description)
{
    return number + QLatin1Char(' ') + kRestoreErrorTag + QLatin1Char(' ') + description;
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
    const QString shownName = Combo1->currentText();

    RestoreRequest request;
    request.backupFolder = context().backupFolder();
    request.name = name;
    request.gameDirectory = context().gamePath("");
    request.root = platform::driveRoot(request.gameDirectory);
    request.undoName = undoNameFor(request.backupFolder, name, std::chrono::system_clock::now());
    request.journalFolder = journalFolder(context().ownFilesFolder());
    RestoreProgress progress;
    RestoreOutcome result;
    try {
        WindowQuestions questions(boxOwner, context().dialogs);
        progressWindow->runWork([&] { result = restoreBackup(request, &questions, progress); },
                                [&progress, &progressWindow] {
                                    // A Cancel pressed before the work began is passed on again.
                                    if (progressWindow->cancelRequested()) {
                                        progress.cancel();
                                    }
                                    const RestoreProgress::Amount amount = progress.amount();
                                    return frmProgress::Amount{amount.done, amount.total};
                                },
                                [&progress] { progress.cancel(); });

        if (!result.undoName.empty()) {
            const QSignalBlocker block(Combo1);
            addBackup(QString::fromStdString(result.undoName));
        }
        switch (result.status) {
        case RestoreStatus::Refused: {
            const QString entry = QString::fromStdString(result.refusedEntry);
            outcome.add(result.refusedUnsafe
                            ? refusedBackupText(shownName, entry)
                            : unwritableBackupText(shownName, entry, QString::fromStdString(result.refusedReason)),
                        ui::Icon::Critical);
            break;
        }
        case RestoreStatus::UndoFailed:
            // One failure, one box: the packer's messages are its details.
            outcome.add(undoBackupFailedText(shownName), ui::Icon::Critical, QString::fromStdString(result.log));
            break;
        case RestoreStatus::Cancelled:
            outcome.add(restoreCancelledText(result.filesRestored, result.fileCount), ui::Icon::Exclamation);
            break;
        case RestoreStatus::Failed:
            // One failure, one box: what failed and how many files were
            // restored; the unpacker's log is its details.
            outcome.add(QString::fromStdString(result.failure) + QLatin1Char(' ') +
                            restoreFailedText(result.filesRestored, result.fileCount),
                        ui::Icon::Critical, QString::fromStdString(result.log));
            break;
        case RestoreStatus::Restored:
            outcome.add(kRestored, ui::Icon::Information);
            break;
        }
    } catch (const ZipError& error) {
        outcome.add(errorText(QString::number(error.number()), QString::fromStdString(error.description())),
                    ui::Icon::Critical);
    } catch (const std::bad_alloc&) {
        outcome.add(errorText(QString::number(kErrorOutOfMemory), QString::fromLatin1(kOutOfMemoryText)),
                    ui::Icon::Critical);
    } catch (const std::exception& error) {
        outcome.add(errorText(QString::number(kErrorInternal), QString::fromLocal8Bit(error.what())),
                    ui::Icon::Critical);
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
