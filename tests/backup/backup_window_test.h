// The surroundings of a backup or restore window test: a temporary game
// folder and application folder, scripted dialogs, and helpers to fill the
// game folder, make backups and look into the backup folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/backup_files.h"
#include "backup/backup_index.h"
#include "backup/frm_backup.h"
#include "backup/frm_progress.h"
#include "backup/frm_restore.h"
#include "backup/zip_builder.h"
#include "platform/fs.h"
#include "support/test_app.h"

namespace gm::backup::test {

namespace fs = std::filesystem;
using ui::Answer;
using ui::Buttons;
using ui::Icon;

// The texts of a list's or combo box's entries, or of the checked ones only.
inline QStringList texts(const QAbstractItemModel* model, bool checkedOnly = false)
{
    QStringList out;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        if (!checkedOnly || index.data(Qt::CheckStateRole).toInt() == Qt::Checked) {
            out << index.data().toString();
        }
    }
    return out;
}

inline QStringList texts(const QListWidget* list) { return texts(list->model()); }
inline QStringList checkedTexts(const QListWidget* list) { return texts(list->model(), true); }

// The names of the files in a folder, sorted (none when it is missing).
inline std::vector<std::string> folderFiles(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const platform::DirEntry& entry : platform::listVisible(folder)) {
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class BackupWindowTest : public ::testing::Test {
protected:
    gm::test::TestApp app;
    QPointer<frmBackup> backupWindow;
    QPointer<frmRestore> restoreWindow;

    void TearDown() override
    {
        delete backupWindow.data();
        delete restoreWindow.data();
        gm::test::processEvents();
    }

    // Writes a game file (path relative to the game folder, '/' between folders).
    void put(const std::string& relative, const std::string& bytes) const { app.game.write(relative, bytes); }
    std::string game(const std::string& relative) const { return app.game.read(relative); }

    fs::path backupFolder() const { return app.context.backupFolder(); }
    fs::path archiveOf(const std::string& name) const { return archivePath(backupFolder(), name); }
    fs::path indexOf(const std::string& name) const { return indexPath(backupFolder(), name); }

    frmBackup& openBackup()
    {
        backupWindow = new frmBackup(app.context);
        backupWindow->Form_Load();
        return *backupWindow;
    }

    frmRestore& openRestore()
    {
        restoreWindow = new frmRestore(app.context);
        restoreWindow->Form_Load();
        return *restoreWindow;
    }

    // A backup of these game files (relative, with backslashes) made with
    // the archive code directly, as the backup window makes it.
    void makeBackup(const std::string& name, const std::vector<std::string>& files) const
    {
        fs::create_directories(backupFolder());
        CGZipFiles zip;
        zip.setZipFileName(platform::fromPath(archiveOf(name)));
        for (const std::string& file : files) {
            zip.AddFile(platform::fromPath(app.context.gamePath(file)));
        }
        ASSERT_EQ(zip.MakeZipFile(), kZipOk) << zip.GetLastMessage();
        ASSERT_TRUE(writeIndexFile(indexOf(name), files));
    }

    // Presses Cancel in the progress window as soon as the window thread
    // handles events again, that is once the work has begun.
    static void cancelWhenWorkBegins() { QTimer::singleShot(0, [] { pressCancel(); }); }

    // True while a progress window is shown.
    static bool progressShown()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<frmProgress*>(window) != nullptr && window->isVisible()) {
                return true;
            }
        }
        return false;
    }

    static void pressCancel()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<frmProgress*>(window); progress != nullptr && progress->isVisible()) {
                progress->cmdCancel->click();
                return;
            }
        }
        ADD_FAILURE() << "no progress window to cancel";
    }
};

}  // namespace gm::backup::test
