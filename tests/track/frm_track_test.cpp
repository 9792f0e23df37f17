#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "track/frm_track.h"
#include "track/track_defaults.h"
#include "track_test_files.h"
#include "track_window.h"

namespace gm::track {
namespace {

using test::iniWith;
using test::valuesOf;
using ui::Answer;
using ui::Buttons;
using ui::Icon;

class TrackEditor : public test::TrackWindowTest {};

TEST_F(TrackEditor, OpensWithTheTrackFoldersSortedAndTheFirstOneShown)
{
    addTrack("Zandvoort", iniWith(valuesOf(3)));
    addTrack("atlanta", iniWith(valuesOf(1)));
    addTrack("Brands", iniWith(valuesOf(2)));
    addTrack("shared", iniWith(valuesOf(9)));
#ifndef _WIN32
    addTrack("Shared", iniWith(valuesOf(4)));  // only "shared" itself is passed over
#endif
    addTrack(".hidden", iniWith(valuesOf(5)));
    app.game.write("tracks/readme.txt", "not a track");

    open();
    ASSERT_FALSE(window->isUnloaded());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Track Editor");
#ifndef _WIN32
    EXPECT_EQ(listed(), QStringList({"atlanta", "Brands", "Shared", "Zandvoort"}));
#else
    EXPECT_EQ(listed(), QStringList({"atlanta", "Brands", "Zandvoort"}));
#endif
    EXPECT_EQ(window->List1->currentRow(), 0);
    EXPECT_EQ(boxes(), valuesOf(1));
    EXPECT_FALSE(changed());
    EXPECT_TRUE(window->cmdRestore->isEnabled());
    EXPECT_TRUE(window->cmdClose->isEnabled());
    EXPECT_EQ(app.menuShows, 0);
}

TEST_F(TrackEditor, TypingMarksChangedCancelReloadsAndSaveWrites)
{
    openAtlanta();
    type(4, "1.5");
    EXPECT_EQ(window->Text1[4]->text(), "1.5");
    EXPECT_TRUE(changed());

    QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
    EXPECT_EQ(boxes(), valuesOf(1));
    EXPECT_FALSE(changed());
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));

    // Every box marks the window changed, the last one too.
    type(11, "2");
    EXPECT_TRUE(changed());

    // Save writes the boxes and turns an empty box into zero.
    type(2, "");
    type(7, "0.875");
    QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    TrackValues expected = test::valuesWith(1, 11, "2");
    expected[2] = "0";
    expected[7] = "0.875";
    EXPECT_EQ(window->Text1[2]->text(), "0");
    EXPECT_FALSE(changed());
    EXPECT_EQ(trackFile("atlanta"), iniWith(expected) + "\r\n");
}

TEST_F(TrackEditor, SaveRefusesTextThatIsNotANumberOrThatTheCodePageLacks)
{
    openAtlanta();
    type(1, "");
    type(3, "abc");
    type(5, "");
    app.dialogs.expect(kNotNumbers, Buttons::Ok, Icon::Critical);
    QTest::mouseClick(window->cmdSave, Qt::LeftButton);

    EXPECT_EQ(window->Text1[1]->text(), "0");   // before the refused box
    EXPECT_EQ(window->Text1[3]->text(), "abc");
    EXPECT_EQ(window->Text1[5]->text(), "");    // after it: not reached
    EXPECT_TRUE(changed());
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));

    // Characters the game's code page lacks are refused by name.
    window->Text1[3]->setText(QString::fromUtf8("\xd9\xa3.5"));  // an Arabic-Indic digit three
    app.dialogs.expect(QString::fromUtf8("A value contains characters that the game's files cannot store: \xd9\xa3. "
                                         "Please input it without them."),
                       Buttons::Ok, Icon::Exclamation);
    QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    EXPECT_TRUE(changed());
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));

    // Numbers in the forms the numeric test accepts are saved as typed,
    // less the blanks around them or after the sign, which would end the
    // value in the file (" -1.5E+2" would read back as an empty value).
    type(3, " - 1.5E+2 ");
    type(5, "+.5");
    QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    EXPECT_FALSE(changed());
    EXPECT_EQ(window->Text1[3]->text(), "-1.5E+2");
    const TrackValues saved = readTrackIni(app.game.path() / "tracks/atlanta/track.ini").values;
    EXPECT_EQ(saved[3], "-1.5E+2");
    EXPECT_EQ(saved[5], "+.5");
}

TEST_F(TrackEditor, AClickBelowTheTracksKeepsTheLoadedTrackHighlighted)
{
    addTrack("brands", iniWith(valuesOf(2)));
    openAtlanta();
    const QPoint blank(10, window->List1->viewport()->height() - 5);
    ASSERT_EQ(window->List1->itemAt(blank), nullptr);
    QTest::mouseClick(window->List1->viewport(), Qt::LeftButton, {}, blank);
    EXPECT_EQ(window->List1->currentRow(), 0);
    EXPECT_TRUE(window->List1->item(0)->isSelected());
    EXPECT_EQ(boxes(), valuesOf(1));
}

TEST_F(TrackEditor, SavingOneChangeChangesOnlyThatValueInTheFile)
{
    addTrack("atlanta", test::sampleTrackIni());
    open();
    EXPECT_EQ(boxes(), test::sampleValues());
    type(8, "0.95");
    QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    EXPECT_FALSE(changed());

    std::string expected = test::sampleTrackIni();
    const std::string oldLine = "ai_fuel_use = 1.00  // fuel";
    expected.replace(expected.find(oldLine), oldLine.size(), "ai_fuel_use = 0.95  // fuel");
    EXPECT_EQ(trackFile("atlanta"), expected + "\r\n");

    // Opened again, the editor shows the saved value.
    delete window.data();
    open();
    TrackValues values = test::sampleValues();
    values[8] = "0.95";
    EXPECT_EQ(boxes(), values);
}

TEST_F(TrackEditor, RestoreDefaultFillsTheBoxesFromTheDefaultsFile)
{
    addTrack("atlanta", iniWith(valuesOf(1)));
    addTrack("bristol", iniWith(valuesOf(2)));
    const std::string defaults = test::defaultsRecord("atlanta", valuesOf(7));
    app.appFolder.write("defaultTrackini.dat", defaults);
    open();

    QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
    EXPECT_EQ(boxes(), valuesOf(7));
    EXPECT_TRUE(changed());
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));  // not written until saved

    // A track without a record: nothing happens, no message.
    clickTrack(1);
    EXPECT_EQ(boxes(), valuesOf(2));
    QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
    EXPECT_EQ(boxes(), valuesOf(2));
    EXPECT_FALSE(changed());

    // Defaults equal to what the boxes show change no box: still clean.
    app.appFolder.write("defaultTrackini.dat", defaults + test::defaultsRecord("bristol", valuesOf(2)));
    QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
    EXPECT_FALSE(changed());

    // Restored values are unsaved changes: closing asks.
    clickTrack(0);
    QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
    app.dialogs.expect(kSaveBeforeClose, Buttons::YesNoCancel, Icon::Question, Answer::No);
    QTest::mouseClick(window->cmdClose, Qt::LeftButton);
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));
}

TEST_F(TrackEditor, AMissingOrIncompleteDefaultsFileIsReported)
{
    openAtlanta();
    type(0, "5");

    app.dialogs.expect(kDefaultsMissing, Buttons::Ok, Icon::Critical);
    QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
    const TrackValues edited = test::valuesWith(1, 0, "5");
    EXPECT_EQ(boxes(), edited);
    EXPECT_TRUE(changed());

    app.appFolder.write("defaultTrackini.dat", "\"atlanta\",\"1\",\"2\",\"3\"\r\n");
    app.dialogs.expect(kDefaultsIncomplete, Buttons::Ok, Icon::Critical);
    QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
    EXPECT_EQ(boxes(), edited);
}

TEST_F(TrackEditor, ClosingAsksOnlyWithUnsavedEdits)
{
    // Clean: closes without a question.
    openAtlanta();
    QTest::mouseClick(window->cmdClose, Qt::LeftButton);
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(app.menuShows, 1);
    const TrackValues edited = test::valuesWith(1, 6, "9");

    // Yes with a refused save keeps the window open.
    open();
    type(6, "x1");
    app.dialogs.expect(kSaveBeforeClose, Buttons::YesNoCancel, Icon::Question, Answer::Yes)
        .expect(kNotNumbers, Buttons::Ok, Icon::Critical);
    QTest::mouseClick(window->cmdClose, Qt::LeftButton);
    EXPECT_FALSE(window->isUnloaded());
    EXPECT_EQ(window->Text1[6]->text(), "x1");
    EXPECT_TRUE(changed());

    // Cancel: the window stays open with the edits.
    type(6, "9");
    app.dialogs.expect(kSaveBeforeClose, Buttons::YesNoCancel, Icon::Question, Answer::Cancel);
    QTest::mouseClick(window->cmdClose, Qt::LeftButton);
    EXPECT_FALSE(window->isUnloaded());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(boxes(), edited);
    EXPECT_TRUE(changed());
    EXPECT_EQ(app.menuShows, 1);

    // No: closes without saving; the menu comes back.
    app.dialogs.expect(kSaveBeforeClose, Buttons::YesNoCancel, Icon::Question, Answer::No);
    window->close();  // the close box
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_EQ(app.menuShows, 2);
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));
    test::processEvents();
    EXPECT_TRUE(window.isNull());

    // Yes: saves, then closes.
    open();
    type(6, "9");
    app.dialogs.expect(kSaveBeforeClose, Buttons::YesNoCancel, Icon::Question, Answer::Yes);
    QTest::mouseClick(window->cmdClose, Qt::LeftButton);
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_EQ(app.menuShows, 3);
    EXPECT_EQ(trackFile("atlanta"), iniWith(edited) + "\r\n");
}

TEST_F(TrackEditor, AnotherTrackDropsTheEditsWithoutAsking)
{
    addTrack("atlanta", iniWith(valuesOf(1)));
    addTrack("bristol", iniWith(valuesOf(2)));
    open();
    type(0, "7");
    clickTrack(1);
    EXPECT_EQ(window->List1->currentRow(), 1);
    EXPECT_EQ(boxes(), valuesOf(2));
    EXPECT_FALSE(changed());
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));

    // Keys the file lacks leave their boxes empty.
    addTrack("atlanta", "track_tire_heat = 1.5 \r\nai_qual_modifier = 0.9\r\n");
    clickTrack(0);
    EXPECT_EQ(boxes(), (TrackValues{"1.5", "", "", "", "", "", "", "", "", "", "", "0.9"}));
    EXPECT_FALSE(changed());
}

TEST_F(TrackEditor, ATrackFolderWithoutTrackIni)
{
    addTrack("atlanta", iniWith(valuesOf(1)));
    app.game.mkdir("tracks/bristol");
    open();
    type(0, "7");
    const TrackValues edited = test::valuesWith(1, 0, "7");

    // Selecting it: the message, and the boxes and the state as they were.
    app.dialogs.expect(kNoTrackIni, Buttons::Ok, Icon::Critical);
    clickTrack(1);
    EXPECT_EQ(boxes(), edited);
    EXPECT_TRUE(changed());

    // Save on it: refused, nothing created.
    app.dialogs.expect(kNoTrackIni, Buttons::Ok, Icon::Critical);
    QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    EXPECT_TRUE(changed());
    EXPECT_FALSE(app.game.exists("tracks/bristol/track.ini"));

    // Cancel on it: the message again, the boxes keep their texts, the
    // window becomes clean.
    app.dialogs.expect(kNoTrackIni, Buttons::Ok, Icon::Critical);
    QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
    EXPECT_EQ(boxes(), edited);
    EXPECT_FALSE(changed());
    EXPECT_FALSE(app.game.exists("tracks/bristol/track.ini"));
}

TEST_F(TrackEditor, AFirstTrackWithoutTrackIniOpensWithEmptyBoxes)
{
    app.game.mkdir("tracks/aaa");
    addTrack("bristol", iniWith(valuesOf(2)));
    app.dialogs.expect(kNoTrackIni, Buttons::Ok, Icon::Critical);
    open();
    EXPECT_FALSE(window->isUnloaded());
    EXPECT_EQ(boxes(), TrackValues{});
    EXPECT_FALSE(changed());
}

TEST_F(TrackEditor, NoTracksFolderClosesTheWindowAndBringsTheMenuBack)
{
    app.makeGameDirectory();
    // The second time a file named "tracks" is there: no tracks folder either.
    for (const int shows : {1, 2}) {
        app.dialogs.expect(kNoTracksFolder, Buttons::Ok, Icon::Critical);
        open();
        EXPECT_TRUE(window->isUnloaded());
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(app.menuShows, shows);
        test::processEvents();
        EXPECT_TRUE(window.isNull());
        app.game.write("tracks", "x");
    }
#ifndef _WIN32
    // Nor is one that cannot be listed (permissions do not bind the superuser).
    if (geteuid() != 0) {
        std::filesystem::remove(app.game.path() / "tracks");
        app.game.mkdir("tracks/atlanta");
        std::filesystem::permissions(app.game.path() / "tracks", std::filesystem::perms::none);
        app.dialogs.expect(kNoTracksFolder, Buttons::Ok, Icon::Critical);
        open();
        EXPECT_TRUE(window->isUnloaded());
        EXPECT_EQ(app.menuShows, 3);
    }
#endif
}

TEST_F(TrackEditor, AnEmptyTracksFolderOpensWithNothingToSave)
{
    app.game.mkdir("tracks/shared");
    app.game.write("tracks/notes.txt", "x");
    app.appFolder.write("defaultTrackini.dat", test::defaultsRecord("", valuesOf(1)));
    open();
    ASSERT_FALSE(window->isUnloaded());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->List1->count(), 0);
    EXPECT_EQ(boxes(), TrackValues{});
    EXPECT_FALSE(changed());

    // Restore Default and Save do nothing: no message, no box, no file.
    QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
    EXPECT_EQ(boxes(), TrackValues{});
    type(0, "1");
    QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    EXPECT_EQ(window->Text1[1]->text(), "");
    EXPECT_TRUE(changed());
    EXPECT_FALSE(app.game.exists("tracks/track.ini"));
    EXPECT_FALSE(app.game.exists("tracks/shared/track.ini"));

    // With no track the edits could go to, closing asks nothing.
    EXPECT_TRUE(window->unload());
    EXPECT_EQ(app.menuShows, 1);
}

#ifndef _WIN32
TEST_F(TrackEditor, AFailedWriteIsReportedAndKeepsTheEdits)
{
    openAtlanta();
    type(9, "1.25");
    const TrackValues edited = test::valuesWith(1, 9, "1.25");

    app.dialogs.expect(kTrackIniNotSaved, Buttons::Ok, Icon::Critical);
    {
        const test::FileSizeLimit fullDisk(16);
        QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    }
    EXPECT_EQ(boxes(), edited);
    EXPECT_TRUE(changed());
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));

    // Closing with Yes tries again; a second failure keeps the window open.
    app.dialogs.expect(kSaveBeforeClose, Buttons::YesNoCancel, Icon::Question, Answer::Yes)
        .expect(kTrackIniNotSaved, Buttons::Ok, Icon::Critical);
    {
        const test::FileSizeLimit fullDisk(16);
        QTest::mouseClick(window->cmdClose, Qt::LeftButton);
    }
    EXPECT_FALSE(window->isUnloaded());
    EXPECT_TRUE(changed());
    EXPECT_EQ(app.menuShows, 0);

    // A read-only file refuses the save too (root may write anyway).
    namespace fs = std::filesystem;
    const fs::path ini = app.game.path() / "tracks/atlanta/track.ini";
    if (geteuid() != 0) {
        fs::permissions(ini, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        app.dialogs.expect(kTrackIniNotSaved, Buttons::Ok, Icon::Critical);
        QTest::mouseClick(window->cmdSave, Qt::LeftButton);
        EXPECT_TRUE(changed());
        EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));
    }

    // Once the disk has room again, Save works.
    fs::permissions(ini, fs::perms::owner_write, fs::perm_options::add);
    QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    EXPECT_FALSE(changed());
    EXPECT_EQ(trackFile("atlanta"), iniWith(edited) + "\r\n");
}
#endif

}  // namespace
}  // namespace gm::track
