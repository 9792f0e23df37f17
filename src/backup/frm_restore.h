// The restore window: lists the backups in the backup folder, shows the
// files of the chosen one, puts a backup's files back in place and deletes
// backups. Before a restore replaces game files it keeps them in a backup of
// their own ("NAME before restore YYYY-MM-DD HH.MM.SS"), so restoring that
// backup undoes the restore.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <filesystem>
#include <string>

#include "ui/command_button.h"
#include "ui/form.h"

namespace gm::backup {

// Message texts of the window.
inline const QString kNoBackupFile = QStringLiteral("Could not find backup file.");
inline const QString kIndexNotDeleted = QStringLiteral("Could not delete the backup index file.");
inline const QString kAskRestore = QStringLiteral("Are you sure you want to restore this backup?");
inline const QString kAskDelete = QStringLiteral("Are you sure you want to delete?");
inline const QString kRestored = QStringLiteral("Backup file has restored successfully");
inline const QString kUnzippingTitle = QStringLiteral("Unzipping backup files");
inline const QString kRestoreErrorTag = QStringLiteral("Form1::cmdUnZip_Click");
// The replace and password questions of the unpacking.
inline const QString kReplaceTitle = QStringLiteral("VBUnZip32 - File Already Exists!");
inline const QString kPasswordPrompt = QStringLiteral("Please Enter The Password!");

// The texts of the safe restore.
QString refusedBackupText(const QString& backup, const QString& entry);
QString unwritableBackupText(const QString& backup, const QString& entry, const QString& reason);
QString undoBackupFailedText(const QString& backup);
QString restoreCancelledText(std::uint64_t restored, std::uint64_t total);
QString restoreFailedText(std::uint64_t restored, std::uint64_t total);

class frmRestore : public ui::Form {
    Q_OBJECT

public:
    explicit frmRestore(ui::AppContext& context);

    void Form_Load() override;
    void Combo1_Click();
    void cmdRestore_Click();
    void cmdDelete_Click();
    void cmdClose_Click();

    QComboBox* Combo1;
    QListWidget* List2;
    QLabel* Label1;
    ui::CommandButton* cmdDelete;
    ui::CommandButton* cmdRestore;
    ui::CommandButton* cmdClose;

protected:
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload() override;

private:
    // backup folder / chosen name (+ ".zip" / ".dat" by the callers).
    std::string chosenName() const;
    void addBackup(const QString& name);
    void critical(const QString& text);
    void removeChosenEntry();

    bool working_ = false;
};

}  // namespace gm::backup
