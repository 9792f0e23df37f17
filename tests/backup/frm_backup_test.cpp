// The backup window: layout, the categories of Preview, the check rules, the
// 1023-file limit and the Backup command with its archive and index file.
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <set>

#include "archive_test_support.h"
#include "backup/archive_entries.h"
#include "backup/work_journal.h"
#include "backup_window_test.h"
#include "support/layout_check.h"
#include "support/trash.h"
#include "support/control_table.h"
#include "ui/geometry.h"

namespace gm::backup::test {
namespace {

using Group = std::vector<QString>;

// The game files of every category, and the entries each category lists.
class BackupWindow : public BackupWindowTest {
protected:
    void putEveryCategory() const
    {
        for (const auto& [path, bytes] : std::map<std::string, std::string>{
                 {"exports_imports/e1.txt", "e1"}, {"exports_imports/sub/E2.DAT", "e2"}, {"players/top.txt", "top"},
                 {"players/Ann/playrecs.ini", "ann"}, {"players/Bob/setup.SVM", "bob"}, {"players/.hidden", "h"},
                 {"replay/r1.rpy", "r1"}, {"replay/R2.RPY", "upper case: not a replay"}, {"replay/notes.txt", "n"},
                 {"series/cup/club.ini", "club"}, {"series/cup/CLUB2.INI", "upper"}, {"series/cup/cars/car.ini", "c"},
                 {"series/cup/cars/cup.lst", "roster"}, {"series/cup/cars/club.LST", "upper case"},
                 {"series/cup/cars/a.car", "car_number=7\r\n"}, {"series/cup/cars/b.CAR", "car_number=8\r\n"},
                 {"series/cup/cars/c100.car", "car_number=100\r\n"}, {"series/cup/cars/none.car", "no number\r\n"},
                 {"tracks/atlanta/track.ini", "track"}, {"tracks/atlanta/surface.dat", "other"}}) {
            put(path, bytes);
        }
    }

    // The entries of each category, in Preview's order of categories.
    static std::vector<Group> everyCategory()
    {
        return {
            {"\\exports_imports\\e1.txt", "\\exports_imports\\sub\\E2.DAT"},
            {"\\players\\Ann\\playrecs.ini", "\\players\\Bob\\setup.SVM", "\\players\\top.txt"},
            {"\\replay\\r1.rpy"},
            {"\\series\\cup\\cars\\car.ini", "\\series\\cup\\club.ini"},
            {"\\series\\cup\\cars\\cup.lst"},
            {"\\series\\cup\\cars\\a.car", "\\series\\cup\\cars\\c100.car", "\\series\\cup\\cars\\none.car"},
            {"\\tracks\\atlanta\\track.ini"},
        };
    }

    std::vector<QCheckBox*> categoryBoxes() const
    {
        frmBackup& f = *backupWindow;
        return {f.chkEI, f.chkPlayer, f.chkReplay, f.chkSeason, f.chkRoster, f.chkCar, f.chkTrack};
    }

    void checkOnly(const std::vector<QCheckBox*>& wanted) const
    {
        for (QCheckBox* box : categoryBoxes()) {
            box->setChecked(std::ranges::count(wanted, box) > 0);
        }
    }

    // The list holds these groups one after the other.
    void expectGroups(const std::vector<Group>& groups) const
    {
        QStringList expected;
        for (const Group& group : groups) {
            expected << QStringList(group.begin(), group.end());
        }
        EXPECT_EQ(texts(backupWindow->List1), expected);
    }

    bool selectionEnabled() const
    {
        const frmBackup& f = *backupWindow;
        const bool enabled = f.cmdBackup->isEnabled();
        EXPECT_EQ(f.cmdAll->isEnabled(), enabled);
        EXPECT_EQ(f.cmdNone->isEnabled(), enabled);
        EXPECT_EQ(f.List1->isEnabled(), enabled);
        return enabled;
    }

    // Preview of the Exports / Imports category alone, and a backup of what
    // it lists under `name`; `overwrite` answers the question whether to
    // replace an older one (Ok: not asked).
    void backUpExports(const QString& name, Answer overwrite = Answer::Ok)
    {
        frmBackup& f = *backupWindow;
        checkOnly({f.chkEI});
        f.cmdSearch_Click();
        f.txtName->setText(name);
        if (overwrite != Answer::Ok) {
            app.dialogs.expect("Would you like to overwrite " + name + ".zip?", Buttons::YesNo, Icon::Question,
                               overwrite);
        }
        if (overwrite != Answer::No) {
            app.dialogs.expect(createdText(name), Buttons::Ok, Icon::Information);
        }
        f.cmdBackup_Click();
    }

    QString createdText(const QString& name) const
    {
        return "Backup file has created successfully in " +
               QString::fromStdString(platform::fromPath(archiveOf(name.toStdString())));
    }

    // The entry names of an archive.
    static std::vector<std::string> archived(const fs::path& archive)
    {
        const ArchiveListing listing = listArchive(platform::fromPath(archive));
        EXPECT_TRUE(listing.ok) << listing.error;
        std::vector<std::string> names;
        for (const ArchiveEntry& entry : listing.entries) {
            names.push_back(entry.name);
        }
        return names;
    }
};

TEST_F(BackupWindow, LayoutOpenedStateOptionBoxesPreviewWithoutGameFolderAndClose)
{
    frmBackup& f = openBackup();
    EXPECT_EQ(f.windowTitle(), "Backup Utility");
    EXPECT_TRUE(gm::test::keepsDesignSize(f, ui::twipsSize(8415, 6735)));
    gm::test::expectControls(f, {
        {"txtName", "", "", 1320, 120, 4215, 285},
        {"List1", nullptr, "", 120, 480, 5415, 6135},
        {"chkEI", "Exports / Imports Files", "", 120, 240, 2055, 375, "Frame1"},
        {"chkPlayer", "Player Files  (Season, setups, auto AI setting, etc.)", "", 120, 720, 2415, 375, "Frame1"},
        {"chkAsk", "Ask which player to select", "", 6000, 1320, 2175, 375},
        {"chkReplay", "Replay Files", "", 120, 1680, 2055, 375, "Frame1"},
        {"chkSeason", "Season Schedule Files", "", 120, 2040, 2415, 615, "Frame1"},
        {"chkRoster", "Rosters", "", 120, 2640, 1815, 375, "Frame1"},
        {"chkCar", "Car Files", "", 120, 3120, 2175, 375, "Frame1"},
        {"optManual", "Manually select which car to save", "", 480, 3600, 2055, 375, "Frame1"},
        {"optNumber", "Select cars that number is between 0 to 99", "", 480, 4080, 2055, 495, "Frame1"},
        {"Frame1", "Backup Options", "", 5640, 120, 2655, 5295},
        {"Label1", "Backup Name", "", 120, 120, 1095, 375},
        {"chkTrack", "Track Files  (Files that are related with Track Editor)", "", 120, 4680, 2175, 375, "Frame1"},
        {"cmdSearch", "Preview", "", 5640, 5520, 1335, 495},
        {"cmdBackup", "Backup", "", 6960, 5520, 1335, 495},
        {"cmdAll", "Select All", "", 5640, 6120, 735, 495},
        {"cmdNone", "Select None", "", 6360, 6120, 735, 495},
        {"cmdClose", "Close", "Go to main screen", 7080, 6120, 1215, 495},
    });
    // chkAsk lies on the frame's area and is drawn above it.
    EXPECT_TRUE(f.Frame1->geometry().contains(f.chkAsk->geometry()));
    EXPECT_GT(f.children().indexOf(f.chkAsk), f.children().indexOf(f.Frame1));
    QStringList order = gm::test::tabOrderNames(&f);
    std::rotate(order.begin(), std::find(order.begin(), order.end(), QStringLiteral("txtName")), order.end());
    EXPECT_EQ(order, QStringList({"txtName", "List1", "chkEI", "chkPlayer", "chkAsk", "chkReplay", "chkSeason",
                                  "chkRoster", "chkCar", "optManual", "optNumber", "chkTrack", "cmdSearch",
                                  "cmdBackup", "cmdAll", "cmdNone", "cmdClose"}));

    // Opened: every category checked, no car option, nothing to select yet.
    const std::vector<QCheckBox*> boxes = categoryBoxes();
    for (const QWidget* c : f.findChildren<QWidget*>(QRegularExpression("^(?!qt_).+"))) {
        const auto* button = qobject_cast<const QAbstractButton*>(c);
        EXPECT_EQ(button != nullptr && button->isChecked(), std::ranges::count(boxes, c) == 1) << c->objectName().toStdString();
        EXPECT_EQ(c->isEnabled(), !QStringList({"List1", "cmdAll", "cmdBackup", "cmdNone"}).contains(c->objectName()))
            << c->objectName().toStdString();
    }

    // The player and car boxes enable their options and clear them.
    f.chkAsk->setChecked(true);
    f.chkPlayer->click();
    EXPECT_FALSE(f.chkAsk->isEnabled() || f.chkAsk->isChecked());
    f.chkPlayer->click();
    EXPECT_TRUE(f.chkAsk->isEnabled());
    EXPECT_FALSE(f.chkAsk->isChecked());

    f.optNumber->click();
    EXPECT_TRUE(f.optNumber->isChecked());
    f.chkCar->click();
    EXPECT_FALSE(f.optManual->isEnabled() || f.optNumber->isEnabled());
    EXPECT_FALSE(f.optManual->isChecked() || f.optNumber->isChecked());
    f.chkCar->click();
    EXPECT_TRUE(f.optManual->isEnabled() && f.optNumber->isEnabled());
    EXPECT_FALSE(f.optNumber->isChecked());
    f.optManual->click();
    f.optNumber->click();
    EXPECT_FALSE(f.optManual->isChecked());  // still one group

    // No game folder at all: Preview lists nothing but enables the selection.
    f.cmdSearch_Click();
    EXPECT_EQ(f.List1->count(), 0);
    EXPECT_TRUE(selectionEnabled());
    f.cmdClose->click();
    EXPECT_EQ(app.menuShows, 1);
    EXPECT_TRUE(f.isUnloaded());
}

TEST_F(BackupWindow, PreviewListsEachCategoryInItsOrderWithExactCaseExtensionsCarsAndPlayersAsChosen)
{
    putEveryCategory();
    frmBackup& f = openBackup();
    f.cmdSearch_Click();
    expectGroups(everyCategory());
    EXPECT_EQ(checkedTexts(f.List1), texts(f.List1));
    EXPECT_TRUE(selectionEnabled());

    // One category at a time.
    const std::vector<Group> groups = everyCategory();
    const std::vector<QCheckBox*> boxes = categoryBoxes();
    for (std::size_t only = 0; only < boxes.size(); ++only) {
        checkOnly({boxes[only]});
        f.cmdSearch_Click();
        SCOPED_TRACE(boxes[only]->objectName().toStdString());
        expectGroups({groups[only]});
    }

    // Cars by hand: listed unchecked; by number: those numbered 100 or more
    // unchecked, and those without a number checked.
    checkOnly({f.chkCar});
    f.optManual->click();
    f.cmdSearch_Click();
    expectGroups({groups[5]});
    EXPECT_TRUE(checkedTexts(f.List1).isEmpty());
    f.optNumber->click();
    f.cmdSearch_Click();
    expectGroups({groups[5]});
    EXPECT_EQ(checkedTexts(f.List1), QStringList({"\\series\\cup\\cars\\a.car", "\\series\\cup\\cars\\none.car"}));

    // Asking per player.
    checkOnly({f.chkPlayer});
    f.chkAsk->setChecked(true);
    app.dialogs.expect("Would you like to select Ann's game files?", Buttons::YesNo, Icon::Question, Answer::Yes);
    app.dialogs.expect("Would you like to select Bob's game files?", Buttons::YesNo, Icon::Question, Answer::No);
    f.cmdSearch_Click();
    // The files lying directly in the players folder are not listed.
    expectGroups({{"\\players\\Ann\\playrecs.ini", "\\players\\Bob\\setup.SVM"}});
    EXPECT_EQ(checkedTexts(f.List1), QStringList{"\\players\\Ann\\playrecs.ini"});

    f.cmdAll_Click();
    EXPECT_EQ(checkedTexts(f.List1).size(), 2);
    f.cmdNone_Click();
    EXPECT_TRUE(checkedTexts(f.List1).isEmpty());

    // No category: the list stays empty, the buttons are enabled and Backup
    // does nothing.
    checkOnly({});
    f.cmdSearch_Click();
    EXPECT_EQ(f.List1->count(), 0);
    EXPECT_TRUE(selectionEnabled());
    f.txtName->setText("x");
    f.cmdBackup_Click();
    EXPECT_FALSE(fs::exists(backupFolder()));
}

TEST_F(BackupWindow, PreviewListsEachFolderInTheOrderWindowsGivesWhateverTheFileSystem)
{
    // Made in an order no listing would give by itself.
    for (const char* name : {"Carla/p.ini", "_x.txt", "b.txt", "sub/a.txt", "ann.txt", "10.txt", "sub/Z.txt",
                             "9.txt", "\xc3\xa9t\xc3\xa9.txt", "Bob/p.ini", "Ann/p.ini", "\xc3\x89te.txt"}) {
        put(std::string("exports_imports/") + name, "x");
    }
    for (const char* player : {"Carla", "Bob", "Ann"}) {
        put(std::string("players/") + player + "/playrecs.ini", "p");
    }
    frmBackup& f = openBackup();
    checkOnly({f.chkEI});
    f.cmdSearch_Click();
    // Capital letters compared as bytes, as NTFS keeps them: digits, then
    // letters, then '_', then letters beyond ASCII.
    EXPECT_EQ(texts(f.List1),
              QStringList({"\\exports_imports\\10.txt", "\\exports_imports\\9.txt", "\\exports_imports\\Ann\\p.ini",
                           "\\exports_imports\\ann.txt", "\\exports_imports\\b.txt", "\\exports_imports\\Bob\\p.ini",
                           "\\exports_imports\\Carla\\p.ini", "\\exports_imports\\sub\\a.txt",
                           "\\exports_imports\\sub\\Z.txt", "\\exports_imports\\_x.txt",
                           QString::fromUtf8("\\exports_imports\\\xc3\x89te.txt"),
                           QString::fromUtf8("\\exports_imports\\\xc3\xa9t\xc3\xa9.txt")}));

    // The players are asked for in that order too.
    checkOnly({f.chkPlayer});
    f.chkAsk->setChecked(true);
    for (const char* player : {"Ann", "Bob", "Carla"}) {
        app.dialogs.expect(QStringLiteral("Would you like to select %1's game files?").arg(QLatin1String(player)),
                           Buttons::YesNo, Icon::Question, Answer::Yes);
    }
    f.cmdSearch_Click();
    EXPECT_EQ(texts(f.List1), QStringList({"\\players\\Ann\\playrecs.ini", "\\players\\Bob\\playrecs.ini",
                                           "\\players\\Carla\\playrecs.ini"}));
}

TEST_F(BackupWindow, AtMost1023CheckedFilesMayBeBackedUp)
{
    // 1022 files and a car file that the ".*" category takes whatever its
    // number, and a car numbered 100 that is listed unchecked.
    for (int i = 0; i < 1022; ++i) {
        put("exports_imports/f" + std::to_string(i), "x");
    }
    put("exports_imports/any.car", "car_number=100\r\n");
    frmBackup& f = openBackup();
    checkOnly({f.chkEI, f.chkCar});
    put("series/cup/cars/big.car", "car_number=100\r\n");
    f.optNumber->click();

    // 1024: refused; only the list is enabled, so files can be unchecked.
    put("exports_imports/one-more", "x");
    app.dialogs.expect(kTooManyFiles, Buttons::Ok, Icon::Critical);
    f.cmdSearch_Click();
    EXPECT_EQ(checkedTexts(f.List1).size(), 1024);
    EXPECT_TRUE(f.List1->isEnabled());
    EXPECT_FALSE(f.cmdBackup->isEnabled());
    EXPECT_FALSE(f.cmdAll->isEnabled());

    // 1023 checked (the car numbered 100 unchecked): accepted.
    fs::remove(app.game.path() / "exports_imports" / "one-more");
    f.cmdSearch_Click();
    EXPECT_EQ(checkedTexts(f.List1).size(), 1023);
    EXPECT_EQ(f.List1->count(), 1024);
    EXPECT_TRUE(selectionEnabled());

    // Over the limit again: the buttons keep their state, and a Backup
    // with 1024 files is refused by the archive code with nothing written.
    put("exports_imports/one-more", "x");
    app.dialogs.expect(kTooManyFiles, Buttons::Ok, Icon::Critical);
    f.cmdSearch_Click();
    EXPECT_TRUE(f.cmdBackup->isEnabled());
    f.txtName->setText("big");
    app.dialogs.expect("9 Form1::cmdZip_Click Subscript out of range", Buttons::Ok, Icon::Critical);
    f.cmdBackup_Click();
    EXPECT_TRUE(folderFiles(backupFolder()).empty());
    EXPECT_EQ(f.txtName->text(), "big");
    EXPECT_EQ(checkedTexts(f.List1).size(), 1024);

    // One file unchecked by hand: all 1023 are packed.
    f.List1->item(0)->setCheckState(Qt::Unchecked);
    app.dialogs.expect(createdText("big"), Buttons::Ok, Icon::Information);
    f.cmdBackup_Click();
    EXPECT_EQ(archived(archiveOf("big")).size(), 1023u);
    EXPECT_EQ(readIndexFile(indexOf("big")).size(), 1023u);
}

TEST_F(BackupWindow, AnEmptyOrUnusableNameIsRefusedAndAUsableOneGetsTheArchiveAndIndexOfTheCheckedFiles)
{
    putEveryCategory();
    frmBackup& f = openBackup();
    f.cmdSearch_Click();
    app.dialogs.expect(kNeedBackupName, Buttons::Ok, Icon::Critical);
    f.cmdBackup_Click();
    // Which names are usable is the file-name rules' own test; a few here.
    for (const char* name : {"..", "a\\b", "CON"}) {
        f.txtName->setText(QString::fromLatin1(name));
        app.dialogs.expect(kUnusableBackupName, Buttons::Ok, Icon::Exclamation);
        f.cmdBackup_Click();
        EXPECT_EQ(f.txtName->selectedText(), QString::fromLatin1(name));
    }
    // NAME.zip.tmp and libzip's NAME.zip.tmp.XXXXXXXX beside it must be
    // names too: 255 - 17.
    f.txtName->setText(QString(239, QLatin1Char('n')));
    app.dialogs.expect(kLongBackupName, Buttons::Ok, Icon::Exclamation);
    f.cmdBackup_Click();
    f.txtName->setText(QStringLiteral("\u0141\u00f3d\u017a week"));
    app.dialogs.expect(QStringLiteral("The backup name contains characters that the game's files cannot store: "
                                      "\u0141 \u017a. Please input it without them."),
                       Buttons::Ok, Icon::Exclamation);
    f.cmdBackup_Click();
    EXPECT_FALSE(fs::exists(backupFolder()));
    EXPECT_TRUE(selectionEnabled());

    // A usable name: the archive and the index of the checked files.
    f.List1->item(static_cast<int>(texts(f.List1).indexOf("\\players\\Bob\\setup.SVM")))->setCheckState(Qt::Unchecked);
    const QStringList checked = checkedTexts(f.List1);

    f.txtName->setText(" Week 1 ");  // used as typed, blanks included
    // The progress window is gone before the message comes, over this window.
    app.dialogs.expect(createdText(" Week 1 "), Buttons::Ok, Icon::Information, Answer::Ok, ui::kProgramTitle, [&f] {
        EXPECT_FALSE(progressShown());
        EXPECT_TRUE(f.isEnabled());
    });
    f.cmdBackup_Click();

    std::string index;
    std::vector<std::string> entries;
    for (const QString& entry : checked) {
        index += "\"" + entry.toStdString() + "\"\r\n";
        entries.push_back(entryNameForPath(platform::fromPath(app.context.gamePath(entry.toStdString()))));
    }
    EXPECT_EQ(gm::test::readBytes(indexOf(" Week 1 ")), index);
    EXPECT_EQ(archived(archiveOf(" Week 1 ")), entries);
    EXPECT_EQ(folderFiles(backupFolder()), (std::vector<std::string>{" Week 1 .dat", " Week 1 .zip"}));

    // Back to the opened state.
    EXPECT_EQ(f.List1->count(), 0);
    EXPECT_FALSE(selectionEnabled());
    EXPECT_TRUE(f.txtName->text().isEmpty());
    EXPECT_TRUE(f.isEnabled());

    // The longest name.
    f.cmdSearch_Click();
    const QString longest(238, QLatin1Char('n'));
    f.txtName->setText(longest);
    app.dialogs.expect(createdText(longest), Buttons::Ok, Icon::Information);
    f.cmdBackup_Click();
    EXPECT_TRUE(fs::exists(archiveOf(longest.toStdString())));
}

TEST_F(BackupWindow, OverwritingAsksFirstAndKeepsTheOldBackupUntilANewOneIsComplete)
{
    put("exports_imports/a.txt", "first");
    frmBackup& f = openBackup();
    backUpExports("save");
    const Tree first = readTree(backupFolder());

    // No: nothing changes, the name is selected for retyping.
    put("exports_imports/b.txt", std::string(1 << 20, 'b'));
    backUpExports("save", Answer::No);
    EXPECT_EQ(f.txtName->selectedText(), "save");
    EXPECT_EQ(readTree(backupFolder()), first);

    // Yes, then Cancel while packing: the older backup and the window as they were.
    f.cmdSearch_Click();
    f.txtName->setText("save");
    app.dialogs.expect("Would you like to overwrite save.zip?", Buttons::YesNo, Icon::Question, Answer::Yes);
    cancelWhenWorkBegins();
    f.cmdBackup_Click();
    EXPECT_EQ(readTree(backupFolder()), first);
    EXPECT_EQ(f.txtName->text(), "save");
    EXPECT_EQ(f.List1->count(), 2);
    EXPECT_TRUE(selectionEnabled());
    EXPECT_TRUE(f.isEnabled());

    // Yes, but the listed files are gone by then: the library's message, no
    // success, and the older backup stays.
    f.cmdSearch_Click();
    fs::remove_all(app.game.path() / "exports_imports");
    app.dialogs.expect("Would you like to overwrite save.zip?", Buttons::YesNo, Icon::Question, Answer::Yes);
    app.dialogs.expectAnyText(Buttons::Ok, Icon::None);
    f.cmdBackup_Click();
    EXPECT_FALSE(app.dialogs.shown().back().text.isEmpty());
    EXPECT_EQ(readTree(backupFolder()), first);
    EXPECT_EQ(f.txtName->text(), "save");

    // Yes: the new backup replaces the old one, which goes to the trash.
    put("exports_imports/a.txt", "first");
    put("exports_imports/b.txt", "second");
    backUpExports("save", Answer::Yes);
    EXPECT_EQ(readIndexFile(indexOf("save")).size(), 2u);
    EXPECT_EQ(archived(archiveOf("save")).size(), 2u);
#ifndef _WIN32  // Windows keeps it in its Recycle Bin under a name of its own
    EXPECT_EQ(std::ranges::count(gm::test::trashedContents("save"), first.at("save.zip")), 1);
#endif
    EXPECT_EQ(folderFiles(backupFolder()), (std::vector<std::string>{"save.dat", "save.zip"}));

    // Only the index left: still asked, and both are written.
    fs::remove(archiveOf("save"));
    backUpExports("save", Answer::Yes);
    EXPECT_EQ(folderFiles(backupFolder()), (std::vector<std::string>{"save.dat", "save.zip"}));
}

TEST_F(BackupWindow, ABackupCleansUpAfterAKilledBackupAndLeavesNoJournal)
{
    put("exports_imports/a.txt", "a");
    fs::create_directories(backupFolder());
    {
        // A backup killed while libzip wrote "old.zip.tmp".
        WorkJournal killed(journalFolder(app.context.ownFilesFolder()));
        killed.archive(backupFolder() / "old.zip.tmp");
        gm::test::writeBytes(backupFolder() / "old.zip.tmp.Xy12Ab", "136 MB, once");
    }
    gm::test::writeBytes(backupFolder() / "notes.zip.tmp.Xy12Ab", "the user's");
    openBackup();
    backUpExports("save");
    EXPECT_EQ(folderFiles(backupFolder()), (std::vector<std::string>{"notes.zip.tmp.Xy12Ab", "save.dat", "save.zip"}));
    EXPECT_FALSE(fs::exists(journalFolder(app.context.ownFilesFolder())));
}

TEST_F(BackupWindow, FilesGoneSincePreviewAreNamedAndNeitherInTheArchiveNorInTheIndex)
{
    put("exports_imports/a.txt", "a");
    put("exports_imports/b.txt", "b");
    put("exports_imports/c.txt", "c");
    frmBackup& f = openBackup();
    checkOnly({f.chkEI});
    f.cmdSearch_Click();
    fs::remove(app.game.path() / "exports_imports" / "b.txt");
    f.txtName->setText("gone");
    app.dialogs.expect(createdText("gone"), Buttons::Ok, Icon::Information);
    app.dialogs.expect("These files could not be read and are not in the backup:\n\\exports_imports\\b.txt",
                       Buttons::Ok, Icon::Exclamation);
    f.cmdBackup_Click();
    const std::vector<std::string> index = readIndexFile(indexOf("gone"));
    EXPECT_EQ(std::set<std::string>(index.begin(), index.end()),
              (std::set<std::string>{"\\exports_imports\\a.txt", "\\exports_imports\\c.txt"}));
    std::vector<std::string> names;
    for (const std::string& entry : index) {
        names.push_back(entryNameForPath(platform::fromPath(app.context.gamePath(entry))));
    }
    EXPECT_EQ(archived(archiveOf("gone")), names);

    // Many: the first twenty, and how many more.
    QStringList many;
    for (int i = 0; i < 23; ++i) {
        many << QString::number(i);
    }
    const QStringList lines = leftOutText(many).split('\n');
    EXPECT_EQ(lines.size(), 22);
    EXPECT_EQ(lines[20], "19");
    EXPECT_EQ(lines.back(), "and 3 more.");
}

}  // namespace
}  // namespace gm::backup::test
