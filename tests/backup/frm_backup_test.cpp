// The backup window: layout, the categories of Preview, the check rules, the
// 1023-file limit and the Backup command with its archive and index file.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>
#include <map>

#include "backup/archive_entries.h"
#include "backup_window_test.h"
#include "support/layout_check.h"
#include "support/trash.h"
#include "ui/geometry.h"

namespace gm::backup::test {
namespace {

using Group = std::vector<QString>;

// The game files of every category, and the entries each category lists.
class BackupWindow : public BackupWindowTest {
protected:
    void putEveryCategory() const
    {
        put("exports_imports/e1.txt", "e1");
        put("exports_imports/sub/E2.DAT", "e2");
        put("players/top.txt", "top");
        put("players/Ann/playrecs.ini", "ann");
        put("players/Bob/setup.SVM", "bob");
        put("players/.hidden", "hidden");
        put("replay/r1.rpy", "r1");
        put("replay/R2.RPY", "upper case: not a replay");
        put("replay/notes.txt", "n");
        put("series/cup/club.ini", "club");
        put("series/cup/CLUB2.INI", "upper case");
        put("series/cup/cars/car.ini", "car ini");
        put("series/cup/cars/cup.lst", "roster");
        put("series/cup/cars/cup.LST", "upper case");
        put("series/cup/cars/a.car", "car_number=7\r\n");
        put("series/cup/cars/b.CAR", "car_number=8\r\n");
        put("tracks/atlanta/track.ini", "track");
        put("tracks/atlanta/surface.dat", "other");
    }

    // The entries of each category, in Preview's order of categories.
    static std::vector<Group> everyCategory()
    {
        return {
            {"\\exports_imports\\e1.txt", "\\exports_imports\\sub\\E2.DAT"},
            {"\\players\\top.txt", "\\players\\Ann\\playrecs.ini", "\\players\\Bob\\setup.SVM"},
            {"\\replay\\r1.rpy"},
            {"\\series\\cup\\club.ini", "\\series\\cup\\cars\\car.ini"},
            {"\\series\\cup\\cars\\cup.lst"},
            {"\\series\\cup\\cars\\a.car"},
            {"\\tracks\\atlanta\\track.ini"},
        };
    }

    std::vector<QCheckBox*> categoryBoxes() const
    {
        frmBackup& f = *backupWindow;
        return {f.chkEI, f.chkPlayer, f.chkReplay, f.chkSeason, f.chkRoster, f.chkCar, f.chkTrack};
    }

    // The list holds these groups one after the other; within a group the
    // order is the file system's.
    void expectGroups(const std::vector<Group>& groups) const
    {
        QStringList listed = texts(backupWindow->List1);
        qsizetype at = 0;
        for (const Group& group : groups) {
            ASSERT_LE(at + static_cast<qsizetype>(group.size()), listed.size()) << listed.join(" ").toStdString();
            QStringList part = listed.mid(at, static_cast<qsizetype>(group.size()));
            QStringList expected(group.begin(), group.end());
            part.sort();
            expected.sort();
            EXPECT_EQ(part, expected);
            at += static_cast<qsizetype>(group.size());
        }
        EXPECT_EQ(at, listed.size()) << listed.join(" ").toStdString();
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

    // Preview with every category but Exports / Imports unchecked, and a
    // backup of what it lists under `name`.
    void backUpExports(const QString& name, Answer overwrite = Answer::Ok)
    {
        frmBackup& f = *backupWindow;
        for (QCheckBox* box : categoryBoxes()) {
            box->setChecked(box == f.chkEI);
        }
        f.cmdSearch_Click();
        f.txtName->setText(name);
        if (overwrite != Answer::Ok) {
            app.dialogs.expect(QStringLiteral("Would you like to overwrite ") + name + QStringLiteral(".zip?"),
                               Buttons::YesNo, Icon::Question, overwrite);
        }
        if (overwrite != Answer::No) {
            app.dialogs.expect(createdText(name), Buttons::Ok, Icon::Information);
        }
        f.cmdBackup_Click();
    }

    QString createdText(const QString& name) const
    {
        return QStringLiteral("Backup file has created successfully in ") +
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

TEST_F(BackupWindow, ControlsAsTheLayoutTableSays)
{
    frmBackup& f = openBackup();
    EXPECT_EQ(f.windowTitle(), "Backup Utility");
    EXPECT_TRUE(gm::test::keepsDesignSize(f, ui::twipsSize(8415, 6735)));

    struct Row {
        const char* name;
        const char* caption;
        const QWidget* parent;
        int left, top, width, height;
        bool enabled;
        int checked;  // -1: not a check box or option button
    };
    const QWidget* w = &f;
    const QWidget* frame = f.Frame1;
    const Row table[] = {
        {"txtName", "", w, 1320, 120, 4215, 285, true, -1},
        {"List1", nullptr, w, 120, 480, 5415, 6135, false, -1},
        {"chkEI", "Exports / Imports Files", frame, 120, 240, 2055, 375, true, 1},
        {"chkPlayer", "Player Files  (Season, setups, auto AI setting, etc.)", frame, 120, 720, 2415, 375, true, 1},
        {"chkAsk", "Ask which player to select", w, 6000, 1320, 2175, 375, true, 0},
        {"chkReplay", "Replay Files", frame, 120, 1680, 2055, 375, true, 1},
        {"chkSeason", "Season Schedule Files", frame, 120, 2040, 2415, 615, true, 1},
        {"chkRoster", "Rosters", frame, 120, 2640, 1815, 375, true, 1},
        {"chkCar", "Car Files", frame, 120, 3120, 2175, 375, true, 1},
        {"optManual", "Manually select which car to save", frame, 480, 3600, 2055, 375, true, 0},
        {"optNumber", "Select cars that number is between 0 to 99", frame, 480, 4080, 2055, 495, true, 0},
        {"Frame1", "Backup Options", w, 5640, 120, 2655, 5295, true, -1},
        {"Label1", "Backup Name", w, 120, 120, 1095, 375, true, -1},
        {"chkTrack", "Track Files  (Files that are related with Track Editor)", frame, 120, 4680, 2175, 375, true, 1},
        {"cmdSearch", "Preview", w, 5640, 5520, 1335, 495, true, -1},
        {"cmdBackup", "Backup", w, 6960, 5520, 1335, 495, false, -1},
        {"cmdAll", "Select All", w, 5640, 6120, 735, 495, false, -1},
        {"cmdNone", "Select None", w, 6360, 6120, 735, 495, false, -1},
        {"cmdClose", "Close", w, 7080, 6120, 1215, 495, true, -1},
    };
    QStringList focusOrder;
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        const auto* control = f.findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget(), row.parent);
        EXPECT_EQ(control->geometry(), ui::twipsRect(row.left, row.top, row.width, row.height));
        EXPECT_EQ(control->isEnabled(), row.enabled);
        EXPECT_EQ(control->toolTip(), QString::fromLatin1(control == f.cmdClose ? "Go to main screen" : ""));
        QString caption;
        if (const auto* b = qobject_cast<const QAbstractButton*>(control)) {
            caption = b->text();
            if (row.checked >= 0) {
                EXPECT_EQ(b->isChecked(), row.checked == 1);
            }
        } else if (const auto* l = qobject_cast<const QLabel*>(control)) {
            caption = l->text();
        } else if (const auto* g = qobject_cast<const QGroupBox*>(control)) {
            caption = g->title();
        } else if (const auto* t = qobject_cast<const QLineEdit*>(control)) {
            caption = t->text();
        }
        if (row.caption != nullptr) {
            EXPECT_EQ(caption, QString::fromLatin1(row.caption));
        }
        if (control->focusPolicy() & Qt::TabFocus) {
            focusOrder << QString::fromLatin1(row.name);
        }
    }
    // chkAsk lies on the frame's area and is drawn above it.
    EXPECT_TRUE(f.Frame1->geometry().contains(f.chkAsk->geometry()));
    EXPECT_GT(f.children().indexOf(f.chkAsk), f.children().indexOf(f.Frame1));

    QStringList order = gm::test::tabOrderNames(&f);
    std::rotate(order.begin(), std::find(order.begin(), order.end(), QStringLiteral("txtName")), order.end());
    EXPECT_EQ(order, focusOrder);
}

TEST_F(BackupWindow, PlayerAndCarBoxesEnableTheirOptions)
{
    frmBackup& f = openBackup();
    f.chkAsk->setChecked(true);
    f.chkPlayer->click();
    EXPECT_FALSE(f.chkAsk->isEnabled());
    EXPECT_FALSE(f.chkAsk->isChecked());
    f.chkPlayer->click();
    EXPECT_TRUE(f.chkAsk->isEnabled());
    EXPECT_FALSE(f.chkAsk->isChecked());

    f.optNumber->click();
    EXPECT_TRUE(f.optNumber->isChecked());
    f.chkCar->click();
    EXPECT_FALSE(f.optManual->isEnabled());
    EXPECT_FALSE(f.optNumber->isEnabled());
    EXPECT_FALSE(f.optManual->isChecked());
    EXPECT_FALSE(f.optNumber->isChecked());
    f.chkCar->click();
    EXPECT_TRUE(f.optManual->isEnabled());
    EXPECT_TRUE(f.optNumber->isEnabled());
    EXPECT_FALSE(f.optNumber->isChecked());
    f.optManual->click();
    f.optNumber->click();
    EXPECT_FALSE(f.optManual->isChecked());  // still one group
}

TEST_F(BackupWindow, PreviewListsEachCategoryInItsOrderWithExactCaseExtensions)
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
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            boxes[i]->setChecked(i == only);
        }
        f.cmdSearch_Click();
        SCOPED_TRACE(boxes[only]->objectName().toStdString());
        expectGroups({groups[only]});
    }

    // Nothing to list: the list stays empty, the buttons are enabled and
    // Backup does nothing.
    for (QCheckBox* box : boxes) {
        box->setChecked(false);
    }
    f.cmdSearch_Click();
    EXPECT_EQ(f.List1->count(), 0);
    EXPECT_TRUE(selectionEnabled());
    f.txtName->setText("x");
    f.cmdBackup_Click();
    EXPECT_FALSE(fs::exists(backupFolder()));
}

TEST_F(BackupWindow, PreviewWithoutAnyGameFolderListsNothing)
{
    frmBackup& f = openBackup();
    f.cmdSearch_Click();
    EXPECT_EQ(f.List1->count(), 0);
    EXPECT_TRUE(selectionEnabled());
}

TEST_F(BackupWindow, AskingPerPlayerChecksOnlyTheChosenPlayersFiles)
{
    putEveryCategory();
    frmBackup& f = openBackup();
    for (QCheckBox* box : categoryBoxes()) {
        box->setChecked(box == f.chkPlayer);
    }
    f.chkAsk->setChecked(true);
    // The questions come in the order the players folder is listed.
    std::map<QString, Answer> answers{{"Ann", Answer::Yes}, {"Bob", Answer::No}};
    for (const platform::DirEntry& entry : platform::listVisible(app.game.path() / "players")) {
        if (entry.isFolder) {
            const QString player = QString::fromStdString(entry.name);
            app.dialogs.expect(QStringLiteral("Would you like to select ") + player + QStringLiteral("'s game files?"),
                               Buttons::YesNo, Icon::Question, answers.at(player));
        }
    }
    f.cmdSearch_Click();
    // The files lying directly in the players folder are not listed.
    expectGroups({{"\\players\\Ann\\playrecs.ini", "\\players\\Bob\\setup.SVM"}});
    EXPECT_EQ(checkedTexts(f.List1), QStringList{"\\players\\Ann\\playrecs.ini"});

    f.cmdAll_Click();
    EXPECT_EQ(checkedTexts(f.List1).size(), 2);
    f.cmdNone_Click();
    EXPECT_TRUE(checkedTexts(f.List1).isEmpty());
}

TEST_F(BackupWindow, CarsByHandOrByNumber)
{
    put("series/cup/cars/c99.car", "name=x\r\ncar_number=99\r\n");
    put("series/cup/cars/c100.car", "car_number=100\r\n");
    put("series/cup/cars/blank.car", "car_number= 150\r\n");
    put("series/cup/cars/none.car", "no number here\r\n");
    frmBackup& f = openBackup();
    for (QCheckBox* box : categoryBoxes()) {
        box->setChecked(box == f.chkCar);
    }
    const QStringList all{"\\series\\cup\\cars\\blank.car", "\\series\\cup\\cars\\c100.car",
                          "\\series\\cup\\cars\\c99.car", "\\series\\cup\\cars\\none.car"};
    auto checkedSorted = [&f] {
        QStringList checked = checkedTexts(f.List1);
        checked.sort();
        return checked;
    };

    f.cmdSearch_Click();  // neither option: every car
    EXPECT_EQ(checkedSorted(), all);

    f.optManual->click();
    f.cmdSearch_Click();
    EXPECT_EQ(f.List1->count(), 4);
    EXPECT_TRUE(checkedTexts(f.List1).isEmpty());

    f.optNumber->click();
    f.cmdSearch_Click();
    EXPECT_EQ(f.List1->count(), 4);
    EXPECT_EQ(checkedSorted(), (QStringList{"\\series\\cup\\cars\\c99.car", "\\series\\cup\\cars\\none.car"}));
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
    for (QCheckBox* box : categoryBoxes()) {
        box->setChecked(box == f.chkEI || box == f.chkCar);
    }
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
}

TEST_F(BackupWindow, AnEmptyOrUnusableNameIsRefusedAndNothingIsWritten)
{
    putEveryCategory();
    frmBackup& f = openBackup();
    f.cmdSearch_Click();
    app.dialogs.expect(kNeedBackupName, Buttons::Ok, Icon::Critical);
    f.cmdBackup_Click();
    for (const char* name : {" ", "..", ".week", "a/b", "a\\b", "c:x", "what?", "*", "a\"b", "CON", "lpt1.x"}) {
        f.txtName->setText(QString::fromLatin1(name));
        app.dialogs.expect(kUnusableBackupName, Buttons::Ok, Icon::Exclamation);
        f.cmdBackup_Click();
        EXPECT_EQ(f.txtName->selectedText(), QString::fromLatin1(name));
    }
    f.txtName->setText(QString(252, QLatin1Char('n')));
    app.dialogs.expect(kLongBackupName, Buttons::Ok, Icon::Exclamation);
    f.cmdBackup_Click();
    f.txtName->setText(QStringLiteral("\u0141\u00f3d\u017a week"));
    app.dialogs.expect(QStringLiteral("The backup name contains characters that the game's files cannot store: "
                                      "\u0141 \u017a. Please input it without them."),
                       Buttons::Ok, Icon::Exclamation);
    f.cmdBackup_Click();
    EXPECT_FALSE(fs::exists(backupFolder()));
    EXPECT_TRUE(selectionEnabled());
}

TEST_F(BackupWindow, BackupWritesTheArchiveAndTheIndexOfTheCheckedFiles)
{
    putEveryCategory();
    frmBackup& f = openBackup();
    f.cmdSearch_Click();
    const int unchecked = static_cast<int>(texts(f.List1).indexOf("\\players\\Bob\\setup.SVM"));
    f.List1->item(unchecked)->setCheckState(Qt::Unchecked);
    const QStringList checked = checkedTexts(f.List1);

    f.txtName->setText(" Week 1 ");  // used as typed, blanks included
    app.dialogs.expect(createdText(" Week 1 "), Buttons::Ok, Icon::Information);
    f.cmdBackup_Click();

    std::string index;
    std::vector<std::string> entries;
    for (const QString& entry : checked) {
        index += "\"" + entry.toStdString() + "\"\r\n";
        entries.push_back(entryNameForPath(platform::fromPath(app.context.gamePath(entry.toStdString()))));
    }
    EXPECT_EQ(gm::test::readBytes(indexOf(" Week 1 ")), index);
    EXPECT_NE(index.find("\"\\tracks\\atlanta\\track.ini\"\r\n"), std::string::npos);
    EXPECT_EQ(archived(archiveOf(" Week 1 ")), entries);
    EXPECT_EQ(folderFiles(backupFolder()), (std::vector<std::string>{" Week 1 .dat", " Week 1 .zip"}));

    // Back to the opened state.
    EXPECT_EQ(f.List1->count(), 0);
    EXPECT_FALSE(selectionEnabled());
    EXPECT_TRUE(f.txtName->text().isEmpty());
    EXPECT_TRUE(f.isEnabled());
}

TEST_F(BackupWindow, OverwritingAsksFirstAndKeepsTheOldArchiveInTheTrash)
{
    put("exports_imports/a.txt", "first");
    frmBackup& f = openBackup();
    backUpExports("save");
    const std::string firstArchive = gm::test::readBytes(archiveOf("save"));
    const std::string firstIndex = gm::test::readBytes(indexOf("save"));

    // No: nothing changes, the name is selected for retyping.
    put("exports_imports/b.txt", "second");
    backUpExports("save", Answer::No);
    EXPECT_EQ(f.txtName->selectedText(), "save");
    EXPECT_EQ(gm::test::readBytes(archiveOf("save")), firstArchive);
    EXPECT_EQ(gm::test::readBytes(indexOf("save")), firstIndex);

    // Yes: the new backup replaces the old one, which goes to the trash.
    f.txtName->clear();
    backUpExports("save", Answer::Yes);
    EXPECT_EQ(readIndexFile(indexOf("save")).size(), 2u);
    EXPECT_EQ(archived(archiveOf("save")).size(), 2u);
    EXPECT_EQ(std::ranges::count(gm::test::trashedContents("save"), firstArchive), 1);
    EXPECT_EQ(folderFiles(backupFolder()), (std::vector<std::string>{"save.dat", "save.zip"}));

    // Only the index left: still asked, and both are written.
    fs::remove(archiveOf("save"));
    backUpExports("save", Answer::Yes);
    EXPECT_EQ(folderFiles(backupFolder()), (std::vector<std::string>{"save.dat", "save.zip"}));
}

TEST_F(BackupWindow, ACancelledBackupLeavesTheOlderBackupAsItWas)
{
    put("exports_imports/a.txt", "first");
    frmBackup& f = openBackup();
    backUpExports("keep");
    const std::string archive = gm::test::readBytes(archiveOf("keep"));
    const std::string index = gm::test::readBytes(indexOf("keep"));

    put("exports_imports/b.txt", std::string(1 << 20, 'b'));
    f.cmdSearch_Click();
    f.txtName->setText("keep");
    app.dialogs.expect("Would you like to overwrite keep.zip?", Buttons::YesNo, Icon::Question, Answer::Yes);
    cancelWhenWorkBegins();
    f.cmdBackup_Click();

    EXPECT_EQ(gm::test::readBytes(archiveOf("keep")), archive);
    EXPECT_EQ(gm::test::readBytes(indexOf("keep")), index);
    EXPECT_EQ(folderFiles(backupFolder()), (std::vector<std::string>{"keep.dat", "keep.zip"}));
    // The window as it was before the Backup.
    EXPECT_EQ(f.txtName->text(), "keep");
    EXPECT_EQ(f.List1->count(), 2);
    EXPECT_TRUE(selectionEnabled());
    EXPECT_TRUE(f.isEnabled());
}

TEST_F(BackupWindow, AFailedPackingShowsTheLibraryMessagesAndNoSuccess)
{
    put("exports_imports/a.txt", "a");
    frmBackup& f = openBackup();
    f.cmdSearch_Click();
    fs::remove(app.game.path() / "exports_imports" / "a.txt");  // gone before the backup
    f.txtName->setText("none");
    app.dialogs.expectAnyText(Buttons::Ok, Icon::None);
    f.cmdBackup_Click();
    ASSERT_FALSE(app.dialogs.shown().empty());
    EXPECT_FALSE(app.dialogs.shown().back().text.isEmpty());
    EXPECT_TRUE(folderFiles(backupFolder()).empty());
    EXPECT_EQ(f.txtName->text(), "none");
}

TEST_F(BackupWindow, CloseShowsTheMenu)
{
    frmBackup& f = openBackup();
    f.cmdClose->click();
    EXPECT_EQ(app.menuShows, 1);
    EXPECT_TRUE(f.isUnloaded());
}

}  // namespace
}  // namespace gm::backup::test
