#include "backup/frm_backup.h"

#include <QDir>
#include <QPointer>
#include <algorithm>
#include <new>
#include <system_error>
#include <vector>

#include "backup/backup_files.h"
#include "backup/collect_rules.h"
#include "backup/frm_progress.h"
#include "backup/work_journal.h"
#include "backup/work_progress.h"
#include "backup/zip_builder.h"
#include "backup/zip_error.h"
#include "common/file_names.h"
#include "platform/codec.h"
#include "platform/fs.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"

namespace gm::backup {

namespace fs = std::filesystem;

namespace {

// Run-time errors outside the archive classes, shown with the numbers of
// the language the program was first written in.
constexpr int kErrorPathAccess = 75;
constexpr const char* kPathAccessText = "Path/File access error";
constexpr int kErrorOutOfMemory = 7;
constexpr const char* kOutOfMemoryText = "Out of memory";
constexpr int kErrorInternal = 51;

}  // namespace

QString leftOutText(const QStringList& files)
{
    constexpr qsizetype kShown = 20;
    QString text = QStringLiteral("These files could not be read and are not in the backup:");
    for (qsizetype i = 0; i < files.size() && i < kShown; ++i) {
        text += QLatin1Char('\n') + files[i];
    }
    if (files.size() > kShown) {
        text += QStringLiteral("\nand %1 more.").arg(files.size() - kShown);
    }
    return text;
}

frmBackup::frmBackup(ui::AppContext& context) : ui::Form(context)
{
    setObjectName(QStringLiteral("frmBackup"));
    setWindowTitle(QStringLiteral("Backup Utility"));
    setSizableFixedSize(8415, 6735);

    auto check = [](ui::WrappingCheckBox*& member, QWidget* parent, const char* name, const QString& caption,
                    bool checked, int left, int top, int width, int height) {
        member = new ui::WrappingCheckBox(caption, parent);
        member->setObjectName(QString::fromLatin1(name));
        member->setChecked(checked);
        ui::placeTwips(member, left, top, width, height);
    };
    auto option = [](ui::WrappingOptionButton*& member, QWidget* parent, const char* name, const QString& caption,
                     int left, int top, int width, int height) {
        member = new ui::WrappingOptionButton(caption, parent);
        member->setObjectName(QString::fromLatin1(name));
        ui::placeTwips(member, left, top, width, height);
    };
    auto button = [this](ui::CommandButton*& member, const char* name, const QString& caption, int left, int top,
                         int width) {
        member = new ui::CommandButton(caption, this);
        member->setObjectName(QString::fromLatin1(name));
        member->setAutoDefault(false);
        ui::placeTwips(member, left, top, width, 495);
    };

    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    ui::placeTwips(txtName, 1320, 120, 4215, 285);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    ui::placeTwips(List1, 120, 480, 5415, 6135);

    Frame1 = new QGroupBox(QStringLiteral("Backup Options"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ui::placeTwips(Frame1, 5640, 120, 2655, 5295);

    check(chkEI, Frame1, "chkEI", QStringLiteral("Exports / Imports Files"), true, 120, 240, 2055, 375);
    check(chkPlayer, Frame1, "chkPlayer", QStringLiteral("Player Files  (Season, setups, auto AI setting, etc.)"),
          true, 120, 720, 2415, 375);
    // A control of the window lying over the frame, just below chkPlayer.
    check(chkAsk, this, "chkAsk", QStringLiteral("Ask which player to select"), false, 6000, 1320, 2175, 375);
    check(chkReplay, Frame1, "chkReplay", QStringLiteral("Replay Files"), true, 120, 1680, 2055, 375);
    check(chkSeason, Frame1, "chkSeason", QStringLiteral("Season Schedule Files"), true, 120, 2040, 2415, 615);
    check(chkRoster, Frame1, "chkRoster", QStringLiteral("Rosters"), true, 120, 2640, 1815, 375);
    check(chkCar, Frame1, "chkCar", QStringLiteral("Car Files"), true, 120, 3120, 2175, 375);
    option(optManual, Frame1, "optManual", QStringLiteral("Manually select which car to save"), 480, 3600, 2055,
           375);
    option(optNumber, Frame1, "optNumber", QStringLiteral("Select cars that number is between 0 to 99"), 480, 4080,
           2055, 495);

    Label1 = new QLabel(QStringLiteral("Backup Name"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui::placeTwips(Label1, 120, 120, 1095, 375);

    check(chkTrack, Frame1, "chkTrack", QStringLiteral("Track Files  (Files that are related with Track Editor)"),
          true, 120, 4680, 2175, 375);

    button(cmdSearch, "cmdSearch", QStringLiteral("Preview"), 5640, 5520, 1335);
    button(cmdBackup, "cmdBackup", QStringLiteral("Backup"), 6960, 5520, 1335);
    button(cmdAll, "cmdAll", QStringLiteral("Select All"), 5640, 6120, 735);
    button(cmdNone, "cmdNone", QStringLiteral("Select None"), 6360, 6120, 735);
    button(cmdClose, "cmdClose", QStringLiteral("Close"), 7080, 6120, 1215);
    cmdClose->setToolTip(QStringLiteral("Go to main screen"));

    chkAsk->raise();  // above the frame it lies on

    const QList<QWidget*> order{txtName,   List1,     chkEI,    chkPlayer, chkAsk,   chkReplay, chkSeason,
                                chkRoster, chkCar,    optManual, optNumber, Frame1,  Label1,    chkTrack,
                                cmdSearch, cmdBackup, cmdAll,   cmdNone,   cmdClose};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }

    connect(chkPlayer, &QCheckBox::toggled, this, &frmBackup::chkPlayer_Click);
    connect(chkCar, &QCheckBox::toggled, this, &frmBackup::chkCar_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &frmBackup::cmdSearch_Click);
    connect(cmdAll, &QPushButton::clicked, this, &frmBackup::cmdAll_Click);
    connect(cmdNone, &QPushButton::clicked, this, &frmBackup::cmdNone_Click);
    connect(cmdBackup, &QPushButton::clicked, this, &frmBackup::cmdBackup_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmBackup::cmdClose_Click);

    SetSelectionEnabled(false);
}

void frmBackup::Form_Load()
{
    showCentred();
    SetSelectionEnabled(false);
}

void frmBackup::SetSelectionEnabled(bool enabled)
{
    cmdAll->setEnabled(enabled);
    cmdNone->setEnabled(enabled);
    cmdBackup->setEnabled(enabled);
    List1->setEnabled(enabled);
}

void frmBackup::chkPlayer_Click()
{
    if (chkPlayer->isChecked()) {
        chkAsk->setEnabled(true);
    } else {
        chkAsk->setEnabled(false);
        chkAsk->setChecked(false);
    }
}

void frmBackup::chkCar_Click()
{
    if (chkCar->isChecked()) {
        optManual->setEnabled(true);
        optNumber->setEnabled(true);
    } else {
        optManual->setEnabled(false);
        optNumber->setEnabled(false);
        optManual->deselect();
        optNumber->deselect();
    }
}

// ---- Preview ---------------------------------------------------------------

void frmBackup::addEntry(const std::string& relative, bool checked)
{
    auto* item = new QListWidgetItem(QString::fromStdString(relative));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    List1->addItem(item);
}

void frmBackup::CollectFiles(const std::string& startFolder, std::string_view extension, bool checked)
{
    std::set<fs::path> ancestors;
    collectBelow(startFolder, extension, checked, ancestors);
}

void frmBackup::collectBelow(const std::string& startFolder, std::string_view extension, bool checked,
                             std::set<fs::path>& ancestors)
{
    const fs::path folder = context().gamePath(startFolder);
    // A folder that links back to one being listed would make the walk
    // endless: each real folder is entered once on the way down.
    std::error_code ec;
    const fs::path real = fs::canonical(folder, ec);
    if (ec || !ancestors.insert(real).second) {
        return;
    }
    std::vector<platform::DirEntry> listing = platform::listVisible(folder);
    sortAsWindowsLists(listing);
    for (const platform::DirEntry& entry : listing) {
        const std::string relative = startFolder + entry.name;
        if (entry.isFolder) {
            collectBelow(relative + "\\", extension, checked, ancestors);
            continue;
        }
        if (!takesFile(entry.name, extension)) {
            continue;
        }
        bool state = checked;
        if (extension == ".car" && optNumber->isChecked()) {
            const std::optional<std::string> bytes = platform::readFile(context().gamePath(relative));
            const std::optional<int> number = bytes ? carNumber(*bytes) : std::nullopt;
            if (number && *number >= kFirstExcludedCarNumber) {
                state = !checked;
            }
        }
        addEntry(relative, state);
    }
    ancestors.erase(real);
}

bool frmBackup::folderExists(const char* relative) const
{
    return platform::folderExists(context().gamePath(relative));
}

int frmBackup::checkedCount() const
{
    int count = 0;
    for (int row = 0; row < List1->count(); ++row) {
        if (List1->item(row)->checkState() == Qt::Checked) {
            ++count;
        }
    }
    return count;
}

void frmBackup::cmdSearch_Click()
{
    List1->clear();
    if (chkEI->isChecked() && folderExists("\\exports_imports")) {
        CollectFiles("\\exports_imports\\", kAnyExtension, true);
    }
    if (chkPlayer->isChecked() && folderExists("\\players")) {
        if (!chkAsk->isChecked()) {
            CollectFiles("\\players\\", kAnyExtension, true);
        } else {
            std::vector<std::string> players;
            std::vector<platform::DirEntry> listing = platform::listVisible(context().gamePath("\\players"));
            sortAsWindowsLists(listing);
            for (const platform::DirEntry& entry : listing) {
                if (entry.isFolder) {
                    players.push_back(entry.name);
                }
            }
            for (const std::string& player : players) {
                const ui::Answer answer = context().dialogs->message(
                    this,
                    QStringLiteral("Would you like to select ") + QString::fromStdString(player) +
                        QStringLiteral("'s game files?"),
                    ui::Buttons::YesNo, ui::Icon::Question);
                CollectFiles("\\players\\" + player + "\\", kAnyExtension, answer == ui::Answer::Yes);
            }
        }
    }
    if (chkReplay->isChecked() && folderExists("\\replay")) {
        CollectFiles("\\replay\\", ".rpy", true);
    }
    if (chkSeason->isChecked() && folderExists("\\series\\cup")) {
        CollectFiles("\\series\\cup\\", ".ini", true);
    }
    if (chkRoster->isChecked() && folderExists("\\series\\cup\\cars")) {
        CollectFiles("\\series\\cup\\cars\\", ".lst", true);
    }
    if (chkCar->isChecked() && folderExists("\\series\\cup\\cars")) {
        CollectFiles("\\series\\cup\\cars\\", ".car", !optManual->isChecked());
    }
    if (chkTrack->isChecked() && folderExists("\\tracks")) {
        CollectFiles("\\tracks\\", ".ini", true);
    }

    if (checkedCount() > kMaxBackupFiles) {
        context().dialogs->message(this, kTooManyFiles, ui::Buttons::Ok, ui::Icon::Critical);
        List1->setEnabled(true);
    } else {
        SetSelectionEnabled(true);
    }
}

void frmBackup::setAllChecked(bool checked)
{
    for (int row = 0; row < List1->count(); ++row) {
        List1->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
}

void frmBackup::cmdAll_Click()
{
    setAllChecked(true);
}

void frmBackup::cmdNone_Click()
{
    setAllChecked(false);
}

// ---- Backup ----------------------------------------------------------------

void frmBackup::selectName()
{
    txtName->setFocus();
    txtName->selectAll();
}

QString frmBackup::errorText(const QString& number, const QString& description)
{
    return number + QLatin1Char(' ') + kBackupErrorTag + QLatin1Char(' ') + description;
}

void frmBackup::showError(QWidget* parent, const QString& number, const QString& description)
{
    context().dialogs->message(parent, errorText(number, description), ui::Buttons::Ok, ui::Icon::Critical);
}

void frmBackup::cmdBackup_Click()
{
    if (List1->count() == 0 || checkedCount() == 0) {
        return;
    }
    const QString typed = txtName->text();
    if (typed.isEmpty()) {
        context().dialogs->message(this, kNeedBackupName, ui::Buttons::Ok, ui::Icon::Critical);
        txtName->setFocus();
        return;
    }
    // The name becomes the names of the backup's files in the backup folder
    // (the longest while it is packed, kLongestBackupFileEnd): it must not
    // reach outside it, name a device, be too long for a file name, or hold
    // characters the system code page cannot (the index and the Restore list
    // would no longer name it).
    const std::string name = typed.toStdString();
    const QString unholdable = platform::unholdableCharacters(typed);
    const std::string refusal = common::fileNameRefusal(name, kLongestBackupFileEnd, "backup name");
    if (!unholdable.isEmpty() || !refusal.empty()) {
        context().dialogs->message(this,
                                   unholdable.isEmpty()
                                       ? QString::fromStdString(refusal)
                                       : platform::unholdableMessage(QStringLiteral("The backup name"), unholdable),
                                   ui::Buttons::Ok, ui::Icon::Exclamation);
        selectName();
        return;
    }

    const fs::path folder = context().backupFolder();
    if (!platform::folderExists(folder)) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec || !platform::folderExists(folder)) {
            showError(this, QString::number(kErrorPathAccess), QString::fromLatin1(kPathAccessText));
            return;
        }
    }
    const fs::path archive = archivePath(folder, name);
    if (platform::pathExists(archive) || platform::pathExists(indexPath(folder, name))) {
        const ui::Answer answer = context().dialogs->message(
            this, QStringLiteral("Would you like to overwrite ") + typed + QStringLiteral(".zip?"),
            ui::Buttons::YesNo, ui::Icon::Question);
        if (answer != ui::Answer::Yes) {
            selectName();
            return;
        }
        // The older backup stays until the new archive is complete.
    }

    // What a crashed or killed backup or restore left, and this backup's
    // own archive in flight, noted for the next one should this one not end.
    const fs::path journals = journalFolder(context().ownFilesFolder());
    cleanUpEndedWork(journals);
    WorkJournal journal(journals);
    journal.archive(newArchivePath(folder, name));

    QPointer<frmProgress> progressWindow = new frmProgress(context(), this);
    progressWindow->Form_Load();
    progressWindow->setWindowTitle(kZippingTitle);
    setEnabled(false);
    working_ = true;

    // What the user is told once the progress window has gone.
    Outcome outcome;
    const auto error = [&outcome](const QString& number, const QString& description) {
        outcome.add(errorText(number, description), ui::Icon::Critical);
    };
    bool done = false;
    try {
        CGZipFiles zip;
        zip.setZipFileName(platform::fromPath(newArchivePath(folder, name)));
        zip.setUpdatingZip(false);
        std::vector<std::string> names;
        std::vector<std::string> entries;
        for (int row = 0; row < List1->count(); ++row) {
            const QListWidgetItem* item = List1->item(row);
            if (item->checkState() != Qt::Checked) {
                continue;
            }
            const std::string relative = item->text().toStdString();
            names.push_back(platform::fromPath(context().gamePath(relative)));
            zip.AddFile(names.back());
            entries.push_back(platform::toAnsi(item->text()));
        }

        WorkProgress work;
        zip.setWorkProgress(&work);
        std::int32_t result = kZipOk;
        progressWindow->runWork([&zip, &result] { result = zip.MakeZipFile(); },
                                [&work, &progressWindow] {
                                    // The packing clears the flag when it starts: a Cancel
                                    // pressed before that is passed on again.
                                    if (progressWindow->cancelRequested()) {
                                        work.cancelRequested = true;
                                    }
                                    return frmProgress::Amount{work.bytesDone.load(), work.bytesTotal.load()};
                                },
                                [&work] { work.cancelRequested = true; });

        if (progressWindow->cancelRequested()) {
            // Cancelled, even if the packing had just finished: no new
            // archive, no index, the older backup as it was.
            removeNewArchive(folder, name);
        } else if (result != kZipOk) {
            removeNewArchive(folder, name);
            outcome.add(QString::fromStdString(zip.GetLastMessage()), ui::Icon::None);
        } else {
            // Files gone or unreadable since Preview are not in the archive,
            // nor in its index; the user is told which.
            const std::vector<std::string> packed = packedEntries(names, entries, zip.leftOut());
            switch (commitBackup(folder, name, packed)) {
            case CommitStatus::Ok:
                outcome.add(QStringLiteral("Backup file has created successfully in ") +
                                QDir::toNativeSeparators(QString::fromStdString(platform::fromPath(archive))),
                            ui::Icon::Information);
                if (packed.size() < entries.size()) {
                    QStringList missing;
                    for (const std::string& entry : entries) {
                        if (std::find(packed.begin(), packed.end(), entry) == packed.end()) {
                            missing << platform::fromAnsi(entry);
                        }
                    }
                    outcome.add(leftOutText(missing), ui::Icon::Exclamation);
                }
                done = true;
                break;
            case CommitStatus::OldArchiveNotRecycled:
                outcome.add(kBackupNotDeleted, ui::Icon::Critical);
                break;
            case CommitStatus::ArchiveNotRenamed:
            case CommitStatus::IndexNotWritten:
                error(QString::number(kErrorPathAccess), QString::fromLatin1(kPathAccessText));
                break;
            }
        }
    } catch (const ZipError& failure) {
        removeNewArchive(folder, name);
        error(QString::number(failure.number()), QString::fromStdString(failure.description()));
    } catch (const std::bad_alloc&) {
        removeNewArchive(folder, name);
        error(QString::number(kErrorOutOfMemory), QString::fromLatin1(kOutOfMemoryText));
    } catch (const std::exception& failure) {
        removeNewArchive(folder, name);
        error(QString::number(kErrorInternal), QString::fromLocal8Bit(failure.what()));
    }

    journal.finish();  // every way out above removed the archive in flight or gave it its name

    // The progress window goes first; then the boxes, over this window.
    if (progressWindow) {
        progressWindow->unload();
    }
    setEnabled(true);
    outcome.show(*context().dialogs, this);
    if (done) {
        SetSelectionEnabled(false);
        List1->clear();
        txtName->clear();
    }
    working_ = false;
}

void frmBackup::cmdClose_Click()
{
    unload();
}

void frmBackup::Form_QueryUnload(bool& cancel)
{
    // A backup in progress finishes (or is cancelled) in its progress window.
    if (working_) {
        cancel = true;
    }
}

void frmBackup::Form_Unload()
{
    showMenu();
}

}  // namespace gm::backup
