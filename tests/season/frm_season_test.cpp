// The season scheduler window: layout, opening, the modes and the
// schedule commands.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <tuple>

#include "season_test_support.h"
#include "support/control_table.h"
#include "support/failing_writes.h"
#include "support/keyboard.h"
#include "support/layout_check.h"
#include "support/trash.h"
#include "ui/geometry.h"

namespace gm::season::test {
namespace {

const QString kNoDirectory = QStringLiteral("The correct directory could not found.");
const QString kNoSeason = QStringLiteral("No season was found.");
const QString kNeedName = QStringLiteral("Please input a season name before you save.");
const QString kBadName = QStringLiteral(
    "The season name is also the name of its file. Please input a season name without \\ / : * ? \" < > | or "
    "control characters that does not begin with a dot, is not only blanks or dots and is not a device name such "
    "as CON.");
const QString kAskSave = QStringLiteral("Would you like to save before you close?");

const auto overwrite = [](const QString& name) { return name + ".ini already exists.  Would you like to overwrite?"; };
const auto deleteQuestion = [](const QString& name) { return "Are you sure you want to delte " + name + " season?"; };
// A file in the private trash of the test run with exactly these bytes.
const auto inTrash = [](const std::string& bytes) { return std::ranges::count(gm::test::trashedContents(), bytes) > 0; };

using gm::test::pressOn;
using SeasonLayout = SeasonWindowTest;

TEST_F(SeasonLayout, ControlsHaveTheirCaptionsTooltipsAndRectanglesAndTheWindowItsSize)
{
    frmSeason& f = openClub();
    EXPECT_EQ(f.windowTitle(), "Season Scheduler");
    EXPECT_TRUE(gm::test::keepsDesignSize(f, ui::twipsSize(8670, 6600)));

    gm::test::expectControls(f, {
        {"lstSchedule", nullptr, "Select an event", 120, 120, 3135, 6300},
        {"Combo1", nullptr, "Select a season schedule", 3360, 120, 5175, 315},
        {"Frame2", "Event Information", "", 3360, 600, 5175, 5295},
        {"Label1", "Season Name", "", 240, 360, 1095, 375, "Frame2"},
        {"txtSeasonName", nullptr, "Season name will be the name of file", 4920, 960, 3495, 285},
        {"Label2", "Year", "", 240, 840, 975, 255, "Frame2"},
        {"txtYear", nullptr, "", 4920, 1440, 1695, 285},
        {"Label3", "Event No.", "", 240, 1320, 1095, 255, "Frame2"},
        {"txtEvent", nullptr, "", 4920, 1920, 1695, 285},
        {"Label4", "Date (m/d)", "", 240, 1800, 1095, 255, "Frame2"},
        {"txtMonth", nullptr, "", 4920, 2400, 1695, 285},
        {"txtDay", nullptr, "", 6720, 2400, 1695, 285},
        {"Label5", "Track", "", 240, 2280, 1095, 375, "Frame2"},
        {"cboTrack", nullptr, "", 4920, 2880, 3015, 315},
        {"Label6", "Event Name", "", 240, 2760, 1095, 375, "Frame2"},
        {"txtName", nullptr, "", 4920, 3360, 3495, 285},
        {"Label7", "Laps (as 100%)", "", 240, 3240, 1335, 375, "Frame2"},
        {"txtLaps", nullptr, "", 4920, 3840, 1695, 285},
        {"Frame1", "Pole Position", "", 4920, 4320, 3495, 735},
        {"optLeft", "Left Side", "", 240, 240, 1095, 375, "Frame1"},
        {"optRight", "Right Side", "", 1920, 240, 1095, 375, "Frame1"},
        {"cmdUp", "Move Up", "Move this event up", 3600, 5280, 735, 495},
        {"cmdDown", "Move Down", "Move this event down", 4320, 5280, 735, 495},
        {"cmdNewEvent", "New Event", "Create a new event", 5160, 5280, 1095, 495},
        {"cmdEditEvent", "Edit Event", "Edit this event", 6240, 5280, 1095, 495},
        {"cmdAdd", "Save Event", "Save this event", 6240, 5280, 1095, 495},
        {"cmdDeleteEvent", "Delete Event", "Delete this event", 7320, 5280, 1095, 495},
        {"cmdCencelEvent", "Cancel (Event)", "Cancel creating or editing this event", 7320, 5280, 1095, 495},
        {"cmdNew", "New Schedule", "Make a new season schedule", 3600, 6000, 1215, 495},
        {"cmdEdit", "Edit Schedule", "Edit this season schedule", 4800, 6000, 1215, 495},
        {"cmdSave", "Save Schedule", "", 4800, 6000, 1215, 495},
        {"cmdDelete", "Delete Schedule", "Delete this season schedule", 6000, 6000, 1215, 495},
        {"cmdCancel", "Cancel (Schedule)", "Cancel creating or editing this season schedule", 6000, 6000, 1215, 495},
        {"cmdClose", "Close", "Go to main screen", 7200, 6000, 1215, 495},
    });
    // Every button but Save Event and Cancel (Event) has its own face,
    // Microsoft Sans Serif at 8 points; those two keep the window's font
    // (which asks for the same family first, so the family alone does not
    // tell them apart).
    for (const QPushButton* b : f.findChildren<QPushButton*>()) {
        const std::string name = b->objectName().toStdString();
        if (b != f.cmdAdd && b != f.cmdCencelEvent) {
            EXPECT_EQ(b->font().family(), "Microsoft Sans Serif") << name;
            EXPECT_EQ(b->font().pointSize(), 8) << name;
            EXPECT_NE(b->font(), f.font()) << name;
        } else {
            EXPECT_EQ(b->font(), f.font()) << name;
        }
    }
}

using SeasonOpening = SeasonWindowTest;

TEST_F(SeasonOpening, RefusesWhenTheSeasonOrTracksFolderIsMissingOrNoSeasonExists)
{
    namespace fs = std::filesystem;
    struct Case {
        std::function<void()> change;
        QString message;
    };
    // A season folder without "*.ini" files: other files and folders named
    // like seasons do not count.
    const std::vector<Case> cases = {
        {[&] { fs::remove_all(app.game.path() / "tracks"); }, kNoDirectory},
        {[&] { app.game.mkdir("tracks/x"); fs::remove_all(app.game.path() / "series" / "cup"); }, kNoDirectory},
        {[&] { app.game.write("series/cup/readme.txt", "x"); app.game.mkdir("series/cup/folder.ini"); }, kNoSeason},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        cases[i].change();
        app.dialogs.expect(cases[i].message, Buttons::Ok, Icon::Critical);
        open();
        EXPECT_TRUE(form->isUnloaded()) << i;
        EXPECT_FALSE(form->isVisible()) << i;
        EXPECT_EQ(app.menuShows, static_cast<int>(i) + 1);
    }
}

TEST_F(SeasonOpening, ListsSeasonsSortedWithoutCaseAndTracksExceptShared)
{
    writeSeason("B", makeSchedule("B", "", {{"1", "1", "From B"}}));
    writeSeason("a", makeSchedule("a", "2003", {{"1", "1", "From a"}, {"8", "1", "Second a"}}));
    app.game.write("tracks/notes.txt", "x");
    std::filesystem::remove_all(app.game.path() / "tracks" / "watkins");
    frmSeason& f = open();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(app.menuShows, 0);
    EXPECT_EQ(entries(f.Combo1->model()), (QStringList{"a", "B"}));
    EXPECT_EQ(f.Combo1->currentText(), "a");
    EXPECT_EQ(listed(f), (QStringList{"From a", "Second a"}));
    EXPECT_EQ(f.txtSeasonName->text(), "a");
    EXPECT_EQ(f.txtYear->text(), "2003");
    EXPECT_EQ(entries(f.cboTrack->model()), (QStringList{"atlanta", "notes.txt", "sebring"}));
    EXPECT_EQ(f.cboTrack->currentIndex(), -1);
    EXPECT_TRUE(inMode(f, Mode::Viewing));

    // Choosing the other season reads its file.
    f.Combo1->setCurrentIndex(1);
    EXPECT_EQ(listed(f), (QStringList{"From B"}));
    EXPECT_EQ(f.txtSeasonName->text(), "B");
    EXPECT_EQ(f.txtYear->text(), "");
    EXPECT_EQ(f.eventTable()[1], EventRow{});
}

TEST_F(SeasonOpening, AFileThatIsNotASeasonScheduleIsReportedAndWhatCouldBeReadIsShown)
{
    const QString kBadFile = QStringLiteral("The file Bad.ini is not a valid season schedule.");
    writeSeason("Good", makeSchedule("Good", "2001", {{"1", "1", "Fine"}}));
    std::string broken = writeSchedule(makeSchedule("Bad", "2002", {{"2", "2", "Kept"}, {"9", "2", "Lost"}}));
    broken.resize(broken.find("[ Season ]"));
    broken.resize(broken.rfind("trackDirectory"));  // the second block ends early
    app.game.write("series/cup/Bad.ini", broken);
    // A season file that cannot be read: on Windows one that another
    // program holds open without sharing it, elsewhere a link to nothing.
#ifdef _WIN32
    const gm::test::HeldOpen unreadable(app.game.write("series/cup/Lost.ini", "x"), 0);
    ASSERT_TRUE(unreadable.active());
#else
    std::filesystem::create_symlink(app.game.path() / "nowhere.ini", app.game.path() / "series" / "cup" / "Lost.ini");
#endif
    app.dialogs.expect(kBadFile, Buttons::Ok, Icon::Critical);
    frmSeason& f = open();
    ASSERT_FALSE(f.isUnloaded());
    EXPECT_EQ(listed(f), (QStringList{"Kept"}));
    EXPECT_EQ(f.txtSeasonName->text(), "");
    EXPECT_TRUE(inMode(f, Mode::Viewing));
    f.Combo1->setCurrentIndex(1);
    EXPECT_EQ(listed(f), (QStringList{"Fine"}));

    // The broken schedule can be edited and saved in the layout.
    app.dialogs.expect(kBadFile, Buttons::Ok, Icon::Critical);
    f.Combo1->setCurrentIndex(0);
    f.cmdEdit_Click();
    f.txtSeasonName->setText("Bad");
    EXPECT_EQ(saveOver(f, "Bad"), writeSchedule(makeSchedule("Bad", "", {{"2", "2", "Kept"}})));
    // A file that cannot be read is reported and shows no events.
    app.dialogs.expect(QStringLiteral("Could not read the file Lost.ini."), Buttons::Ok, Icon::Critical);
    f.Combo1->setCurrentIndex(2);
    EXPECT_EQ(f.lstSchedule->count(), 0);
    EXPECT_TRUE(inMode(f, Mode::Viewing));
}

using SeasonModes = SeasonWindowTest;

TEST_F(SeasonModes, ViewingShowsAChosenEventAndEditOrNewScheduleStartEditingWhichCancelUndoes)
{
    frmSeason& f = openClub();
    EXPECT_TRUE(inMode(f, Mode::Viewing));
    EXPECT_EQ(f.txtEvent->text(), "");
    choose(f, 1);
    EXPECT_EQ(shown(f), (EventRow{"2", "12", "3", "Second", "30", "sebring", "2"}));
    EXPECT_TRUE(inMode(f, Mode::Viewing));
    choose(f, 0);
    EXPECT_EQ(shown(f), (EventRow{"1", "5", "3", "First", "20", "atlanta", "1"}));
    EXPECT_TRUE(inMode(f, Mode::Viewing));

    // Edit Schedule turns the event buttons on once an event is chosen.
    f.cmdEdit_Click();
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, true));
    f.cmdCancel_Click();
    EXPECT_TRUE(inMode(f, Mode::Viewing));
    f.cmdEdit_Click();
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, false));
    choose(f, 1);
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, true));

    // Cancel reads the season again, in the middle of an event edit too.
    f.txtSeasonName->setText("Changed");
    f.cmdDeleteEvent_Click();
    EXPECT_EQ(f.lstSchedule->count(), 2);
    f.cmdEditEvent_Click();
    f.cmdCancel_Click();
    EXPECT_TRUE(inMode(f, Mode::Viewing));
    EXPECT_EQ(listed(f), (QStringList{"First", "Second", "Third"}));
    EXPECT_EQ(f.txtSeasonName->text(), "Club");
    EXPECT_EQ(f.eventTable()[1][kName], "Second");
    EXPECT_EQ(f.txtEvent->text(), "");

    // New Schedule starts empty; Cancel shows the season still chosen.
    choose(f, 2);
    f.cmdNew_Click();
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, false));
    EXPECT_EQ(f.lstSchedule->count(), 0);
    EXPECT_EQ(f.txtSeasonName->text() + f.txtYear->text(), "");
    EXPECT_EQ(shown(f), (EventRow{"1", "", "", "", "", "", "1"}));
    EXPECT_EQ(f.eventTable(), EventTable{});
    f.cmdCancel_Click();
    EXPECT_TRUE(inMode(f, Mode::Viewing));
    EXPECT_EQ(listed(f), (QStringList{"First", "Second", "Third"}));
}

// Enter presses the focused button, the event buttons that take each
// other's place included.
TEST_F(SeasonModes, EventEditingEntersAndLeavesTheEventModeFromTheKeyboardToo)
{
    frmSeason& f = openClub();
    ASSERT_TRUE(f.isVisible());
    EXPECT_EQ(gm::test::buttonsDeafToEnter(f), QStringList());
    EXPECT_TRUE(pressOn(f.cmdEdit, Qt::Key_Return));
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, false));

    // New Event with nothing chosen, then Cancel (Event) in the place of
    // Delete Event: no selection, so the fields are emptied and the event
    // buttons stay off.
    EXPECT_TRUE(pressOn(f.cmdNewEvent, Qt::Key_Enter));
    EXPECT_TRUE(inMode(f, Mode::EditingEvent));
    EXPECT_EQ(f.txtEvent->text(), "4");
    EXPECT_TRUE(pressOn(f.cmdCencelEvent, Qt::Key_Return));
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, false));
    EXPECT_EQ(f.txtEvent->text(), "");
    EXPECT_EQ(f.lstSchedule->count(), 3);

    // Edit Event on a chosen event, Cancel (Event): the stored values are
    // shown again and the buttons are back on.
    choose(f, 1);
    EXPECT_TRUE(pressOn(f.cmdEditEvent, Qt::Key_Return));
    EXPECT_TRUE(inMode(f, Mode::EditingEvent));
    f.txtName->setText("Not kept");
    f.cmdCencelEvent_Click();
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, true));
    EXPECT_EQ(f.txtName->text(), "Second");
    EXPECT_EQ(f.eventTable()[1][kName], "Second");

    // Save Event, in the place of Edit Event, which Enter just hid.
    f.cmdEditEvent_Click();
    f.txtName->setText("Renamed");
    EXPECT_TRUE(pressOn(f.cmdAdd, Qt::Key_Return));
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, true));
    EXPECT_EQ(f.eventTable()[1][kName], "Renamed");

    // Choosing another event while editing one drops the edit.
    f.cmdEditEvent_Click();
    f.txtName->setText("Dropped");
    choose(f, 2);
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, true));
    EXPECT_EQ(f.txtName->text(), "Third");
    EXPECT_EQ(f.txtEvent->text(), "3");
    EXPECT_EQ(f.eventTable()[1][kName], "Renamed");

    // Cancel (Schedule) reads the season again, and the file is as it was.
    EXPECT_TRUE(pressOn(f.cmdCancel, Qt::Key_Return));
    EXPECT_TRUE(inMode(f, Mode::Viewing));
    EXPECT_EQ(f.eventTable()[1][kName], "Second");
    EXPECT_EQ(seasonFile("Club"), writeSchedule(makeSchedule("Club", "1999", kClubEvents)));
}

TEST_F(SeasonModes, SaveScheduleAsksToOverwriteItsOwnFileAndReturnsToViewingOnTheFirstSeason)
{
    frmSeason& f = openClub();
    f.Combo1->setCurrentIndex(1);
    EXPECT_EQ(f.txtSeasonName->text(), "Zeta");
    const std::string before = seasonFile("Zeta");
    f.cmdEdit_Click();
    f.txtYear->setText(QStringLiteral("2000\r\nagain"));
    app.dialogs.expect(overwrite("Zeta"), Buttons::OkCancel, Icon::Question, Answer::Cancel);
    f.cmdSave_Click();
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule));
    EXPECT_EQ(seasonFile("Zeta"), before);
    EXPECT_EQ(f.txtYear->text(), "2000\r\nagain");

    choose(f, 0);
    f.cmdEditEvent_Click();  // saving in the middle of an event edit
    const std::string saved = saveOver(f, "Zeta");
    EXPECT_TRUE(inMode(f, Mode::Viewing));
    EXPECT_EQ(f.Combo1->currentText(), "Club");
    EXPECT_EQ(f.txtSeasonName->text(), "Club");
    EXPECT_EQ(entries(f.Combo1->model()), (QStringList{"Club", "Zeta"}));
    // A line break in the year is written as blanks.
    EXPECT_EQ(saved, writeSchedule(makeSchedule("Zeta", "2000  again", {{"1", "1", "Only"}})));
    EXPECT_EQ(entries(f.cboTrack->model()), (QStringList{"atlanta", "sebring", "watkins"}));
}

using SeasonSave = SeasonWindowTest;

TEST_F(SeasonSave, WhatCannotBeSavedIsRefusedAndASaveUnderANewNameLeavesTheOldFile)
{
    frmSeason& f = openClub();
    const std::string club = seasonFile("Club");
    app.game.mkdir("series/cup/Blocked.ini");
    f.cmdEdit_Click();
    const QString tooLong = QStringLiteral("The season name is also the name of its file and is too long for a file "
                                           "name. Please input a shorter season name.");
    const QString cannotStore = QStringLiteral("contains characters that the game's files cannot store: ");
    const std::vector<std::tuple<std::string, const char*, QString>> refused = {
        // Which names make no file name is the file name rules' own test.
        {"", "2024", kNeedName}, {"..\\Club", "", kBadName}, {std::string(300, 'x'), "2024", tooLong},
        {"\xc5\x81\xc3\xb3" "d\xc5\xba Cup", "2024",
         "The season name " + cannotStore + QString::fromUtf8("\xc5\x81 \xc5\xba. Please input it without them.")},
        {"Cup", "2024 \xe2\x82\xac \xce\xb1",
         "The year " + cannotStore + QString::fromUtf8("\xce\xb1. Please input it without them.")},
    };
    for (const auto& [name, year, message] : refused) {
        f.txtSeasonName->setText(QString::fromStdString(name));
        f.txtYear->setText(QString::fromUtf8(year));
        app.dialogs.expect(message, Buttons::Ok, Icon::Exclamation);
        f.cmdSave_Click();
        EXPECT_TRUE(inMode(f, Mode::EditingSchedule)) << name;
    }
    // A write that fails (a folder in the way) is reported.
    f.txtSeasonName->setText("Blocked");
    f.txtYear->setText("1999");
    app.dialogs.expect(QStringLiteral("Could not save the file Blocked.ini."), Buttons::Ok, Icon::Critical);
    f.cmdSave_Click();
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule));
    EXPECT_EQ(f.txtSeasonName->text(), "Blocked");
    EXPECT_EQ(listed(f), (QStringList{"First", "Second", "Third"}));
    EXPECT_EQ(listSeasons(app.game.path() / "series" / "cup").size(), 2u);
    EXPECT_FALSE(app.game.exists("series/Club.ini"));

    // What the code page holds (é, €) is written in it, under the new name
    // beside the old file.
    f.txtSeasonName->setText(QString::fromUtf8("Caf\xc3\xa9 Cup"));
    f.txtYear->setText(QString::fromUtf8("2024 \xe2\x82\xac"));
    f.cmdSave_Click();
    EXPECT_TRUE(inMode(f, Mode::Viewing));
    EXPECT_EQ(app.game.read("series/cup/Caf\xc3\xa9 Cup.ini"),
              writeSchedule(makeSchedule("Caf\xe9 Cup", "2024 \x80", kClubEvents)));
    EXPECT_EQ(seasonFile("Club"), club);
    EXPECT_EQ(entries(f.Combo1->model()), (QStringList{QString::fromUtf8("Caf\xc3\xa9 Cup"), "Club", "Zeta"}));
    EXPECT_EQ(f.Combo1->currentText(), QString::fromUtf8("Caf\xc3\xa9 Cup"));
}

TEST_F(SeasonSave, DeleteScheduleAsksAndMovesTheFileToTheTrash)
{
    frmSeason& f = openClub();
    const std::string club = seasonFile("Club");
    app.dialogs.expect(deleteQuestion("Club"), Buttons::YesNo, Icon::Question, Answer::No);
    f.cmdDelete_Click();
    EXPECT_TRUE(seasonExists("Club"));

    app.dialogs.expect(deleteQuestion("Club"), Buttons::YesNo, Icon::Question, Answer::Yes);
    f.cmdDelete_Click();
    EXPECT_FALSE(seasonExists("Club"));
    EXPECT_TRUE(inTrash(club));
    EXPECT_EQ(entries(f.Combo1->model()), (QStringList{"Zeta"}));
    EXPECT_EQ(listed(f), (QStringList{"Only"}));
    EXPECT_TRUE(inMode(f, Mode::Viewing));

    // A file that is gone already cannot be deleted: the window stays.
    std::filesystem::remove(app.game.path() / "series" / "cup" / "Zeta.ini");
    app.dialogs.expect(deleteQuestion("Zeta"), Buttons::YesNo, Icon::Question, Answer::Yes);
    app.dialogs.expect(QStringLiteral("Could not delete the file."), Buttons::Ok, Icon::Critical);
    f.cmdDelete_Click();
    EXPECT_FALSE(f.isUnloaded());
    EXPECT_EQ(entries(f.Combo1->model()), (QStringList{"Zeta"}));
    EXPECT_EQ(listed(f), (QStringList{"Only"}));

    // The deleted season comes back from the trash as it was.
    ASSERT_TRUE(gm::test::restoreFromTrash(app.game.path() / "series" / "cup" / "Club.ini"));
    EXPECT_EQ(seasonFile("Club"), club);
}

TEST_F(SeasonSave, ASeasonWithAnUpperCaseExtensionIsReadSavedInPlaceAndDeletedAsTheLast)
{
    app.game.write("series/cup/Loud.INI", writeSchedule(makeSchedule("Loud", "1990", kClubEvents)));
    frmSeason& f = open();
    ASSERT_EQ(f.Combo1->currentText(), "Loud");
    EXPECT_EQ(listed(f), (QStringList{"First", "Second", "Third"}));
    EXPECT_EQ(f.txtYear->text(), "1990");

    f.cmdEdit_Click();
    f.txtYear->setText("1991");
    app.dialogs.expect(overwrite("Loud"), Buttons::OkCancel, Icon::Question, Answer::Ok);
    f.cmdSave_Click();
    EXPECT_EQ(app.game.read("series/cup/Loud.INI"), writeSchedule(makeSchedule("Loud", "1991", kClubEvents)));
    EXPECT_EQ(fileNames(), std::vector<std::string>{"Loud.INI"}) << "no second file beside the first";
    EXPECT_EQ(entries(f.Combo1->model()), (QStringList{"Loud"}));

    app.dialogs.expect(deleteQuestion("Loud"), Buttons::YesNo, Icon::Question, Answer::Yes);
    app.dialogs.expect(kNoSeason, Buttons::Ok, Icon::Critical);
    f.cmdDelete_Click();  // the last season: back to the menu
    EXPECT_FALSE(app.game.exists("series/cup/Loud.INI"));
    EXPECT_TRUE(form->isUnloaded());
    EXPECT_EQ(app.menuShows, 1);
}

TEST_F(SeasonSave, ANameDifferingOnlyInTheCaseOfAnAccentedLetterIsTheSameSeasonWhereTheFileSystemSaysSo)
{
    const std::string ete = "\xc3\xa9t\xc3\xa9";       // été
    const std::string upperEte = "\xc3\x89T\xc3\x89";  // ÉTÉ
    writeSeason(ete, makeSchedule("Summer", "1990", kClubEvents));
    frmSeason& f = open();
    f.cmdNew_Click();
    f.txtSeasonName->setText(QString::fromStdString(upperEte));
    f.txtYear->setText("2024");
#ifdef _WIN32
    // One file on Windows: saving is saving over it, so it asks first and
    // writes in place.
    saveOver(f, upperEte);
    EXPECT_EQ(fileNames(), std::vector<std::string>{ete + ".ini"});
    EXPECT_EQ(seasonFile(ete), writeSchedule(makeSchedule("\xc9T\xc9", "2024", {})));
#else
    // Two files elsewhere.
    f.cmdSave_Click();
    EXPECT_EQ(fileNames(), (std::vector<std::string>{upperEte + ".ini", ete + ".ini"}));
    EXPECT_EQ(seasonFile(ete), writeSchedule(makeSchedule("Summer", "1990", kClubEvents)));
#endif
    EXPECT_TRUE(inMode(f, Mode::Viewing));
}

using SeasonClosing = SeasonWindowTest;

TEST_F(SeasonClosing, EditingAsksCancelOrAFailedSaveKeepsTheWindowOpenYesSavesNoDropsViewingDoesNotAsk)
{
    frmSeason& f = openClub();
    f.cmdNew_Click();
    app.dialogs.expect(kAskSave, Buttons::YesNoCancel, Icon::Question, Answer::Cancel);
    f.cmdClose_Click();
    EXPECT_FALSE(f.isUnloaded());

    f.txtSeasonName->setText("Zeta");
    app.dialogs.expect(kAskSave, Buttons::YesNoCancel, Icon::Question, Answer::Yes);
    app.dialogs.expect(overwrite("Zeta"), Buttons::OkCancel, Icon::Question, Answer::Cancel);
    f.cmdClose_Click();
    EXPECT_FALSE(f.isUnloaded());
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule));
    EXPECT_EQ(app.menuShows, 0);

    f.txtSeasonName->setText("Fresh");
    f.txtYear->setText("2030");
    app.dialogs.expect(kAskSave, Buttons::YesNoCancel, Icon::Question, Answer::Yes);
    f.cmdClose_Click();
    EXPECT_TRUE(form->isUnloaded());
    EXPECT_EQ(app.menuShows, 1);
    EXPECT_EQ(seasonFile("Fresh"), writeSchedule(makeSchedule("Fresh", "2030", {})));

    frmSeason& g = open();
    g.cmdEdit_Click();
    g.txtYear->setText("never written");
    app.dialogs.expect(kAskSave, Buttons::YesNoCancel, Icon::Question, Answer::No);
    g.cmdClose_Click();
    EXPECT_TRUE(form->isUnloaded());
    EXPECT_EQ(app.menuShows, 2);
    EXPECT_EQ(seasonFile("Club").find("never written"), std::string::npos);

    open().cmdClose_Click();  // no question scripted
    EXPECT_TRUE(form->isUnloaded());
    EXPECT_EQ(app.menuShows, 3);
}

}  // namespace
}  // namespace gm::season::test
