#include "backup/frm_backup.h"

#include <QDir>
#include <QPointer>
#include <new>
#include <vector>

#include "backup/backup_files.h"
#include "backup/collect_rules.h"
#include "backup/frm_progress.h"
#include "backup/make_backup.h"
#include "backup/work_progress.h"
#include "backup/zip_error.h"
#include "common/file_names.h"
#include "platform/codec.h"
#include "platform/fs.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"

namespace gm::backup {

namespace fs = std::filesystem;

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
    PreviewChoices choices;
    choices.exportsImports = chkEI->isChecked();
    choices.players = chkPlayer->isChecked();
    choices.askPerPlayer = chkAsk->isChecked();
    choices.replays = chkReplay->isChecked();
    choices.seasons = chkSeason->isChecked();
    choices.rosters = chkRoster->isChecked();
    choices.cars = chkCar->isChecked();
    choices.carChoice = optManual->isChecked()   ? CarChoice::ByHand
                        : optNumber->isChecked() ? CarChoice::ByNumber
                                                 : CarChoice::Every;
    choices.tracks = chkTrack->isChecked();
    const PlayerQuestion askPlayer = [this](const std::string& player) {
        return context().dialogs->message(this,
                                          QStringLiteral("Would you like to select ") + QString::fromStdString(player) +
                                              QStringLiteral("'s game files?"),
                                          ui::Buttons::YesNo, ui::Icon::Question) == ui::Answer::Yes;
    };
    for (const ListedFile& file : previewFiles(context().gamePath(""), choices, askPlayer)) {
        addEntry(file.relative, file.checked);
    }

    if (checkedCount() > static_cast<int>(kMaxBackupFiles)) {
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
    if (platform::pathExists(archivePath(folder, name)) || platform::pathExists(indexPath(folder, name))) {
        const ui::Answer answer = context().dialogs->message(
            this, QStringLiteral("Would you like to overwrite ") + typed + QStringLiteral(".zip?"),
            ui::Buttons::YesNo, ui::Icon::Question);
        if (answer != ui::Answer::Yes) {
            selectName();
            return;
        }
        // The older backup stays until the new archive is complete.
    }

    std::vector<std::string> checked;
    for (int row = 0; row < List1->count(); ++row) {
        if (List1->item(row)->checkState() == Qt::Checked) {
            checked.push_back(List1->item(row)->text().toStdString());
        }
    }
    BackupRequest request;
    request.backupFolder = folder;
    request.name = name;
    request.files = gameFiles(context().gamePath(""), checked);
    request.journalFolder = journalFolder(context().ownFilesFolder());

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
        WorkProgress work;
        BackupOutcome result;
        progressWindow->runWork([&request, &work, &result] { result = makeBackup(request, work); },
                                [&work, &progressWindow] {
                                    // A Cancel pressed before the work began is passed on again.
                                    if (progressWindow->cancelRequested()) {
                                        work.cancelRequested = true;
                                    }
                                    return frmProgress::Amount{work.bytesDone.load(), work.bytesTotal.load()};
                                },
                                [&work] { work.cancelRequested = true; });
        switch (result.status) {
        case BackupStatus::Made: {
            outcome.add(QStringLiteral("Backup file has created successfully in ") +
                            QDir::toNativeSeparators(QString::fromStdString(platform::fromPath(archivePath(folder, name)))),
                        ui::Icon::Information);
            // Files gone or unreadable since Preview are not in the backup;
            // the user is told which.
            if (!result.leftOut.empty()) {
                QStringList missing;
                for (const std::size_t file : result.leftOut) {
                    missing << QString::fromStdString(request.files[file].indexText);
                }
                outcome.add(leftOutText(missing), ui::Icon::Exclamation);
            }
            done = true;
            break;
        }
        case BackupStatus::Cancelled:
            break;
        case BackupStatus::NotPacked:
            outcome.add(QString::fromStdString(result.log), ui::Icon::None);
            break;
        case BackupStatus::OldArchiveNotRecycled:
            outcome.add(kBackupNotDeleted, ui::Icon::Critical);
            break;
        case BackupStatus::NotWritten:
            error(QString::number(kErrorPathAccess), QString::fromLatin1(kPathAccessText));
            break;
        case BackupStatus::Error:
            error(QString::number(result.errorNumber), QString::fromStdString(result.errorDescription));
            break;
        }
    } catch (const std::bad_alloc&) {
        error(QString::number(kErrorOutOfMemory), QString::fromLatin1(kOutOfMemoryText));
    } catch (const std::exception& failure) {
        error(QString::number(kErrorInternal), QString::fromLocal8Bit(failure.what()));
    }

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
