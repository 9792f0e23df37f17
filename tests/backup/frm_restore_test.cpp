// The restore window: layout, the list of backups from their index files,
// Restore with its undo backup, refusal of unsafe archives, Cancel, Delete.
#include <QRegularExpression>
#include <zip.h>

#include "archive_test_support.h"
#include "backup/archive_entries.h"
#include "backup/work_journal.h"
#include "backup_window_test.h"
#include "platform/paths.h"
#include "support/file_size_limit.h"
#include "support/layout_check.h"
#include "support/trash.h"
#include "support/control_table.h"
#include "ui/geometry.h"

namespace gm::backup::test {
namespace {

class RestoreWindow : public BackupWindowTest {
protected:
    QStringList backups() const { return texts(restoreWindow->Combo1->model()); }

    // Announces a restore answered Yes that ends with the box `outcome`,
    // the one box it shows; with the archive code's log holding `log` as its
    // details when one is given.
    void expectRestore(const QString& outcome, Icon icon = Icon::Information, const QString& log = {})
    {
        app.dialogs.expect(kAskRestore, Buttons::YesNo, Icon::Question, Answer::Yes);
        if (log.isEmpty()) {
            // The progress window is gone before the box comes, over this window.
            app.dialogs.expect(outcome, Buttons::Ok, icon, Answer::Ok, ui::kProgramTitle, [this] {
                EXPECT_FALSE(progressShown());
                EXPECT_TRUE(restoreWindow->isEnabled());
            });
        } else {
            app.dialogs.expectWithDetails(outcome, log, Buttons::Ok, icon);
        }
    }

    void restoreChosen(const QString& outcome, Icon icon = Icon::Information, const QString& log = {})
    {
        expectRestore(outcome, icon, log);
        restoreWindow->cmdRestore_Click();
        EXPECT_TRUE(restoreWindow->isEnabled());
    }

    // The backups whose names begin with `name` + " before restore ".
    QStringList undoBackups(const QString& name) const
    {
        const QRegularExpression pattern(QRegularExpression::anchoredPattern(
            QRegularExpression::escape(name) +
            QStringLiteral(" before restore \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d( \\(\\d+\\))?")));
        QStringList found;
        for (const std::string& file : folderFiles(backupFolder())) {
            const QString base = QString::fromStdString(file).chopped(4);
            if (file.ends_with(".zip") && pattern.match(base).hasMatch() && !found.contains(base)) {
                found << base;
            }
        }
        return found;
    }

    void choose(const QString& name) const { restoreWindow->Combo1->setCurrentIndex(restoreWindow->Combo1->findText(name)); }
};

TEST_F(RestoreWindow, ControlsAsTheLayoutTableSays)
{
    frmRestore& f = openRestore();
    EXPECT_EQ(f.windowTitle(), "Restore Utility");
    EXPECT_TRUE(gm::test::keepsDesignSize(f, ui::twipsSize(5655, 6735)));
    gm::test::expectControls(f, {
        {"Combo1", nullptr, "", 1320, 120, 4215, 315},
        {"List2", nullptr, "", 120, 480, 5415, 5520},
        {"Label1", "Backup Name", "", 120, 120, 1215, 255},
        {"cmdDelete", "Delete", "", 1920, 6120, 1215, 495},
        {"cmdRestore", "Restore", "", 3120, 6120, 1215, 495},
        {"cmdClose", "Close", "Go to main screen", 4320, 6120, 1215, 495},
    });
    EXPECT_FALSE(f.Combo1->isEditable());
    QStringList order = gm::test::tabOrderNames(&f);
    std::rotate(order.begin(), std::find(order.begin(), order.end(), QStringLiteral("Combo1")), order.end());
    EXPECT_EQ(order, QStringList({"Combo1", "List2", "cmdDelete", "cmdRestore", "cmdClose"}));

    // No backup folder: empty lists, and Restore and Delete do nothing.
    EXPECT_EQ(f.Combo1->count(), 0);
    f.cmdRestore_Click();
    f.cmdDelete_Click();
    f.cmdClose->click();
    EXPECT_EQ(app.menuShows, 1);
}

TEST_F(RestoreWindow, ListsTheBackupsOfTheIndexFilesDropsAnIndexWithoutArchiveAndDeletes)
{
    put("players/Ann/playrecs.ini", "ann");
    put("tracks/atlanta/track.ini", "track");
    makeBackup("b", {"\\players\\Ann\\playrecs.ini"});
    makeBackup("Club", {"\\tracks\\atlanta\\track.ini", "\\players\\Ann\\playrecs.ini"});
    makeBackup("d", {"\\tracks\\atlanta\\track.ini"});
    gm::test::writeBytes(indexOf("a lost"), "\"\\x\"\r\n");
    gm::test::writeBytes(backupFolder() / "readme.txt", "not a backup");

    app.dialogs.expect(kNoBackupFile, Buttons::Ok, Icon::Critical);
    frmRestore& f = openRestore();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(backups(), (QStringList{"b", "Club", "d"}));
    EXPECT_EQ(f.Combo1->currentIndex(), -1);  // the dropped entry was chosen
    EXPECT_EQ(f.List2->count(), 0);
    EXPECT_FALSE(fs::exists(indexOf("a lost")));
#ifndef _WIN32  // Windows keeps trashed files in its Recycle Bin under names of its own
    EXPECT_EQ(gm::test::trashedContents("a lost"), std::vector<std::string>{"\"\\x\"\r\n"});
#endif

    choose("Club");
    EXPECT_EQ(texts(f.List2), (QStringList{"\\tracks\\atlanta\\track.ini", "\\players\\Ann\\playrecs.ini"}));

    // Its archive gone meanwhile: reported when chosen again, and the entry leaves the list.
    choose("b");
    EXPECT_EQ(texts(f.List2), QStringList{"\\players\\Ann\\playrecs.ini"});
    fs::remove(archiveOf("Club"));
    app.dialogs.expect(kNoBackupFile, Buttons::Ok, Icon::Critical);
    choose("Club");
    EXPECT_EQ(backups(), (QStringList{"b", "d"}));
    EXPECT_EQ(f.Combo1->currentIndex(), -1);

    // Delete asks first; Yes moves both files to the trash and the next backup is chosen.
    choose("b");
    app.dialogs.expect(kAskDelete, Buttons::YesNo, Icon::Question, Answer::No);
    f.cmdDelete_Click();
    EXPECT_EQ(backups(), (QStringList{"b", "d"}));
    const std::string archive = gm::test::readBytes(archiveOf("b"));
    app.dialogs.expect(kAskDelete, Buttons::YesNo, Icon::Question, Answer::Yes);
    f.cmdDelete_Click();
    EXPECT_EQ(backups(), QStringList{"d"});
    EXPECT_EQ(f.Combo1->currentText(), "d");
    EXPECT_EQ(texts(f.List2), QStringList{"\\tracks\\atlanta\\track.ini"});
    EXPECT_FALSE(fs::exists(archiveOf("b")) || fs::exists(indexOf("b")));
#ifndef _WIN32
    EXPECT_EQ(gm::test::trashedContents("b.zip"), std::vector<std::string>{archive});
    EXPECT_EQ(gm::test::trashedContents("b.dat").size(), 1u);
#endif

    // An archive that is gone: Delete stops at it and keeps the entry.
    fs::remove(archiveOf("d"));
    app.dialogs.expect(kAskDelete, Buttons::YesNo, Icon::Question, Answer::Yes);
    app.dialogs.expect(kBackupNotDeleted, Buttons::Ok, Icon::Critical);
    f.cmdDelete_Click();
    EXPECT_EQ(backups(), QStringList{"d"});
    EXPECT_TRUE(fs::exists(indexOf("d")));

    // The last one deleted: both lists empty.
    makeBackup("d", {"\\tracks\\atlanta\\track.ini"});
    app.dialogs.expect(kAskDelete, Buttons::YesNo, Icon::Question, Answer::Yes);
    f.cmdDelete_Click();
    EXPECT_EQ(f.Combo1->count(), 0);
    EXPECT_EQ(f.List2->count(), 0);
}

TEST_F(RestoreWindow, RestoreReplacesEditedFilesAndItsUndoBackupPutsTheEditsBack)
{
    put("tracks/atlanta/track.ini", "grip = 1.00");
    put("players/Ann/playrecs.ini", "ann");
    makeBackup("base", {"\\tracks\\atlanta\\track.ini", "\\players\\Ann\\playrecs.ini"});
    put("tracks/atlanta/track.ini", "grip = 1.25");  // edited since

    frmRestore& f = openRestore();
    app.dialogs.expect(kAskRestore, Buttons::YesNo, Icon::Question, Answer::No);
    f.cmdRestore_Click();
    EXPECT_EQ(game("tracks/atlanta/track.ini"), "grip = 1.25");

    restoreChosen(kRestored);
    EXPECT_EQ(game("tracks/atlanta/track.ini"), "grip = 1.00");
    EXPECT_EQ(game("players/Ann/playrecs.ini"), "ann");

    // Only the replaced file is in the undo backup, listed at once.
    const QStringList undo = undoBackups("base");
    ASSERT_EQ(undo.size(), 1);
    EXPECT_EQ(readIndexFile(indexOf(undo[0].toStdString())), std::vector<std::string>{"\\tracks\\atlanta\\track.ini"});
    EXPECT_EQ(backups(), (QStringList{"base", undo[0]}));
    EXPECT_EQ(f.Combo1->currentText(), "base");

    choose(undo[0]);
    EXPECT_EQ(texts(f.List2), QStringList{"\\tracks\\atlanta\\track.ini"});
    restoreChosen(kRestored);
    EXPECT_EQ(game("tracks/atlanta/track.ini"), "grip = 1.25");

    // Its own undo backup is named after "base", with the newer time.
    EXPECT_TRUE(undoBackups(undo[0]).isEmpty());
    ASSERT_EQ(undoBackups("base").size(), 2);

    // Restoring what is already in place changes nothing and keeps no undo backup.
    choose(undo[0]);
    restoreChosen(kRestored);
    EXPECT_EQ(undoBackups("base").size(), 2);
}

TEST_F(RestoreWindow, UndoBackupsOfUndoBackupsAndOfLongNamesAreNamedSoThatEveryRoundWorks)
{
    const std::string when = "2024-05-06 07.08.09";
    struct Case {
        std::string backup;
        int n;
        std::string undo;
    };
    const std::string n238(238, 'n');
    std::string e119;  // 238 bytes, 119 characters
    for (int i = 0; i < 119; ++i) {
        e119 += "\xc3\xa9";
    }
    const Case cases[] = {
        {"base", 1, "base before restore " + when},
        {"base", 3, "base before restore " + when + " (3)"},
        {"base before restore 2023-01-02 03.04.05", 1, "base before restore " + when},
        {"base before restore 2023-01-02 03.04.05 (2) before restore 2023-01-03 03.04.05", 2,
         "base before restore " + when + " (2)"},
        {"base before restore tomorrow", 1, "base before restore tomorrow before restore " + when},
        // Cut to fit, at a whole character: 255 - 17 - 35 bytes of the name.
        {n238, 1, std::string(203, 'n') + " before restore " + when},
        {e119, 12, e119.substr(0, 198) + " before restore " + when + " (12)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(undoBackupName(c.backup, when, c.n), c.undo) << c.backup;
    }

    // A backup of the longest name the backup window takes, restored over
    // and over: every restore makes its undo backup and works.
    put("players/Ann/playrecs.ini", "0");
    makeBackup(n238, {"\\players\\Ann\\playrecs.ini"});
    frmRestore& f = openRestore();
    std::string chosen = n238;
    QStringList before{QString::fromStdString(n238)};
    for (int round = 1; round <= 4; ++round) {
        put("players/Ann/playrecs.ini", std::to_string(round));
        choose(QString::fromStdString(chosen));
        ASSERT_EQ(f.Combo1->currentText().toStdString(), chosen);
        restoreChosen(kRestored);
        EXPECT_EQ(game("players/Ann/playrecs.ini"), round == 1 ? "0" : std::to_string(round - 1)) << round;
        // One more backup: the undo backup, its name cut to fit.
        QStringList added = backups();
        for (const QString& name : before) {
            added.removeOne(name);
        }
        ASSERT_EQ(added.size(), 1) << round;
        before = backups();
        chosen = added[0].toStdString();
        EXPECT_TRUE(chosen.starts_with(std::string(199, 'n') + ' ') || chosen.starts_with(std::string(203, 'n') + ' '))
            << chosen;
        EXPECT_NE(chosen.find(" before restore "), std::string::npos);
    }
    // Names show in full as tooltips.
    for (int i = 0; i < f.Combo1->count(); ++i) {
        EXPECT_EQ(f.Combo1->itemData(i, Qt::ToolTipRole).toString(), f.Combo1->itemText(i));
    }
    EXPECT_EQ(f.Combo1->toolTip(), f.Combo1->currentText());
    ASSERT_EQ(f.List2->count(), 1);
    EXPECT_EQ(f.List2->item(0)->toolTip(), "\\players\\Ann\\playrecs.ini");
}

TEST_F(RestoreWindow, AFailedRestoreSaysWhyAndLeavesTheGameFilesWithoutAnUndoBackup)
{
    put("players/Ann/playrecs.ini", std::string(4000, 'a'));
    makeBackup("flip", {"\\players\\Ann\\playrecs.ini"});
    // flip: damaged data; evil: an entry with ".." that would land inside
    // the game folder all the same.
    const std::string below = entryNameForPath(platform::fromPath(app.game.path()));
    damageEntry(platform::fromPath(archiveOf("flip")), below + "/players/Ann/playrecs.ini");
    const std::string climbing = below + "/players/x/../Ann/playrecs.ini";
    writeArchive(archiveOf("evil"), {{below + "/players/Ann/playrecs.ini", "theirs"}, {climbing, "theirs"}});
    ASSERT_TRUE(writeIndexFile(indexOf("evil"), {"\\players\\Ann\\playrecs.ini"}));
    // clash: a file and a folder of one name.
    writeArchive(archiveOf("clash"), {{below + "/players/Ann/playrecs.ini", "theirs"},
                                      {below + "/players/Ann", "a file"}});
    ASSERT_TRUE(writeIndexFile(indexOf("clash"), {"\\players\\Ann\\playrecs.ini", "\\players\\Ann"}));
    put("players/Ann/playrecs.ini", "edited");

    openRestore();
    choose("evil");
    restoreChosen(refusedBackupText("evil", QString::fromStdString(climbing)), Icon::Critical);
    EXPECT_EQ(game("players/Ann/playrecs.ini"), "edited");
    EXPECT_FALSE(fs::exists(app.game.path() / "players" / "x"));
    choose("flip");
    // One box: which file of the archive is damaged, how many files were
    // restored, and the unpacker's log as its details.
    const QString damaged = QString::fromStdString(below + "/players/Ann/playrecs.ini");
    restoreChosen("The backup archive is damaged: its file \"" + damaged + "\" cannot be read. " +
                      restoreFailedText(0, 1),
                  Icon::Critical, "error: invalid compressed data to inflate " + damaged);
    EXPECT_EQ(game("players/Ann/playrecs.ini"), "edited");
    // clash: refused before an undo backup of the edited file is made.
    choose("clash");
    restoreChosen(unwritableBackupText("clash", QString::fromStdString(below + "/players/Ann"),
                                       "a file where the backup also needs a folder"),
                  Icon::Critical);
    EXPECT_EQ(game("players/Ann/playrecs.ini"), "edited");
    // Nothing was replaced, so no undo backup is kept.
    EXPECT_EQ(folderFiles(backupFolder()), (std::vector<std::string>{"clash.dat", "clash.zip", "evil.dat", "evil.zip",
                                                                     "flip.dat", "flip.zip"}));
}

TEST_F(RestoreWindow, AnUndoBackupThatCannotBeWrittenStopsTheRestoreFirst)
{
#ifdef _WIN32
    GTEST_SKIP() << "a full disk is made with a file size limit (setrlimit), which Windows does not have";
#else
    put("players/Ann/playrecs.ini", std::string(4000, 'a'));
    makeBackup("full", {"\\players\\Ann\\playrecs.ini"});
    // The edited file: noise that cannot be packed within the limit below.
    std::mt19937 random(3);
    std::string noise(256 * 1024, ' ');
    std::ranges::generate(noise, [&random] { return static_cast<char>(random()); });
    put("players/Ann/playrecs.ini", noise);

    openRestore();
    expectRestore(undoBackupFailedText("full"), Icon::Critical, QStringLiteral("zip error"));
    {
        const gm::test::FileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.active());
        restoreWindow->cmdRestore_Click();
    }
    EXPECT_EQ(game("players/Ann/playrecs.ini"), noise);
    EXPECT_EQ(folderFiles(backupFolder()), (std::vector<std::string>{"full.dat", "full.zip"}));
#endif
}

TEST_F(RestoreWindow, CancelWhileTheRestoreAsksForAPasswordRestoresNothing)
{
    put("players/Ann/a.ini", "a1 as it was backed up");
    put("players/Ann/b.ini", "b1 as it was backed up");
    fs::create_directories(backupFolder());
    const std::string below = entryNameForPath(platform::fromPath(app.game.path()));
    writeArchive(archiveOf("locked"),
                 {{below + "/players/Ann/a.ini", "a1 as it was backed up"},
                  {below + "/players/Ann/b.ini", "b1 as it was backed up"}},
                 "s3cret");
    ASSERT_TRUE(writeIndexFile(indexOf("locked"), {"\\players\\Ann\\a.ini", "\\players\\Ann\\b.ini"}));
    put("players/Ann/a.ini", "a2");

    openRestore();
    app.dialogs.expect(kAskRestore, Buttons::YesNo, Icon::Question, Answer::Yes);
    // The question of the worker thread comes to the window thread, where
    // the progress window's Cancel can be pressed meanwhile.
    app.dialogs.expectInput(kPasswordPrompt, QStringLiteral("s3cret"), ui::kProgramTitle, QString(),
                            [] { pressCancel(); });
    app.dialogs.expect(restoreCancelledText(0, 2), Buttons::Ok, Icon::Exclamation);
    restoreWindow->cmdRestore_Click();
    EXPECT_EQ(game("players/Ann/a.ini"), "a2");
    EXPECT_EQ(game("players/Ann/b.ini"), "b1 as it was backed up");
    EXPECT_TRUE(undoBackups("locked").isEmpty());

    // Not cancelled, the same restore puts both files back.
    app.dialogs.expect(kAskRestore, Buttons::YesNo, Icon::Question, Answer::Yes);
    app.dialogs.expectInput(kPasswordPrompt, QStringLiteral("s3cret"));
    app.dialogs.expect(kRestored, Buttons::Ok, Icon::Information);
    restoreWindow->cmdRestore_Click();
    EXPECT_EQ(game("players/Ann/a.ini"), "a1 as it was backed up");
    EXPECT_EQ(undoBackups("locked").size(), 1);
}

TEST_F(RestoreWindow, ARestoreCleansUpAfterAKilledRestoreAndLeavesNoJournal)
{
    put("players/Ann/playrecs.ini", "ann");
    makeBackup("base", {"\\players\\Ann\\playrecs.ini"});
    put("players/Ann/playrecs.ini", "edited");
    const fs::path ann = app.game.path() / "players" / "Ann";
    {
        // A restore killed while it wrote a temporary file beside a game file.
        WorkJournal killed(journalFolder(app.context.ownFilesFolder()));
        killed.temporary(ann / ".~r.rpy.5e3a.tmp");
        gm::test::writeBytes(ann / ".~r.rpy.5e3a.tmp", "450 MB, once");
    }
    gm::test::writeBytes(ann / ".~notes.tmp", "the user's");
    openRestore();
    restoreChosen(kRestored);
    EXPECT_EQ(readTree(ann), (Tree{{".~notes.tmp", "the user's"}, {"playrecs.ini", "ann"}}));
    EXPECT_FALSE(fs::exists(journalFolder(app.context.ownFilesFolder())));
}

}  // namespace
}  // namespace gm::backup::test
