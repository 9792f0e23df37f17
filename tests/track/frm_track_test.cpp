// The track editor window: its layout, the track list, and the commands.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

#include "support/access_list.h"
#include "support/control_table.h"
#include "support/failing_writes.h"
#include "support/keyboard.h"
#include "support/layout_check.h"
#include "track/frm_track.h"
#include "track/track_defaults.h"
#include "track_test_support.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"

#ifdef _WIN32
#include "support/wine.h"
#else
#include <unistd.h>
#endif

namespace gm::track {
namespace {

using test::iniWith;
using test::valuesOf;
using test::valuesWith;
using ui::Answer;
using ui::Buttons;
using ui::Icon;

class TrackEditor : public test::TrackWindowTest {};

// The window tests name its messages by these constants; their texts are
// the window's own, misspellings included.
TEST(TrackEditorMessages, AreTheWindowsOwnTexts)
{
    const std::pair<QString, const char*> texts[] = {
        {kNoTracksFolder, "Could not find tracks directory."},
        {kNoTrackIni, "Could not find track.ini"},
        {kTrackIniNotSaved, "Could not save track.ini."},
        {kNotNumbers, "Please input numbers in textboxs."},
        {kSaveBeforeClose, "Would you like to save changes before you close?"},
        {kSaveBeforeOtherTrack, "Would you like to save changes before you select another track?"},
        {kDefaultsMissing, "The defaults file defaultTrackini.dat is missing."},
        {kDefaultsIncomplete, "The defaults file defaultTrackini.dat is incomplete."},
    };
    for (const auto& [constant, text] : texts) {
        EXPECT_EQ(constant.toStdString(), text);
    }
}

TEST_F(TrackEditor, LayoutCaptionsTooltipsAndTabOrder)
{
    openAtlanta();
    ASSERT_FALSE(window->isUnloaded());
    EXPECT_TRUE(test::keepsDesignSize(*window, ui::twipsSize(6255, 6015)));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);

    test::expectControls(*window, {
        {"List1", nullptr, "Select track", 120, 120, 2535, 5130},
        {"Frame1", "Track", "", 2760, 120, 3375, 2535},
        {"Frame2", "AI (Simulation Only)", "", 2760, 2760, 3375, 2535},
        {"cmdRestore", "Restore Default", "Restore default values for selected track", 1800, 5400, 1095, 495},
        {"cmdSave", "Save", "Apply change", 2880, 5400, 1095, 495},
        {"cmdCancel", "Cancel", "", 3960, 5400, 1095, 495},
        {"cmdClose", "Close", "Go to main screen", 5040, 5400, 1095, 495},
        {"Label2", "Point names for pop-up help.", "", 240, 5400, 1215, 495},
        // The labels are sized to their captions; the AI frame's come first.
        {"Label1(6)", "Tire Heat", "> modifies amount of heat going into the tire at a given track", 120, 360, 0, 195,
         "Frame1"},
        {"Label1(7)", "Tire Wear", "> 1.0 means more wear, i.e. 2.0 is twice normal wear, 0.5 is half normal wear", 120,
         720, 0, 195, "Frame1"},
        {"Label1(8)", "Tire Wear Loss", "percentage of grip lost at full tire wear", 120, 1080, 0, 195, "Frame1"},
        {"Label1(9)", "Tire Wear Exp",
         "> 1.0 gives a bigger fall off later in run < 1.0 gives a bigger fall off early in run", 120, 1440, 0, 195,
         "Frame1"},
        {"Label1(10)", "Asphalt Grip", "> 1.0 means more grip.  This shouldn't have to change by more than +- 0.05",
         120, 1800, 0, 195, "Frame1"},
        {"Label1(11)", "Concrete Grip", "> means more grip.  Again, keep between about 0.9 and 1.05", 120, 2160, 0, 195,
         "Frame1"},
        {"Label1(0)", "Accel Modifier", "acceleration grip efficiency", 120, 360, 0, 195, "Frame2"},
        {"Label1(1)", "Decel Modifier", "braking grip efficiency", 120, 720, 0, 195, "Frame2"},
        {"Label1(2)", "Fuel Use", "> 1.0 = more fuel consumed", 120, 1080, 0, 195, "Frame2"},
        {"Label1(3)", "Grip Modifier", "> 1.0 = more grip", 120, 1440, 0, 195, "Frame2"},
        {"Label1(4)", "Drag Modifier", "> 1.0 = more drag, which is slower", 120, 1800, 0, 195, "Frame2"},
        {"Label1(5)", "Qualify Modifier", "> 1.0 = faster during qualifying", 120, 2160, 0, 195, "Frame2"},
    });

    // Each box beside its label, in the label's frame, without a tooltip;
    // the label ends before its box begins.
    QStringList order{"List1"};
    for (std::size_t box = 0; box < kKeyCount; ++box) {
        const QLineEdit* text = window->Text1[box];
        const QLabel* label = window->Label1[box < 6 ? box + 6 : box - 6];
        order << QStringLiteral("Text1(%1)").arg(box);  // the box's own name
        EXPECT_EQ(text->parentWidget(), box < 6 ? window->Frame1 : window->Frame2) << box;
        EXPECT_EQ(text->geometry(), ui::twipsRect(1680, 360 + 360 * static_cast<int>(box % 6), 1575, 285)) << box;
        EXPECT_TRUE(text->toolTip().isEmpty()) << box;
        EXPECT_EQ(label->y(), text->y()) << box;
        EXPECT_LT(label->geometry().right(), text->geometry().left()) << box;
    }
    order << "cmdRestore" << "cmdSave" << "cmdCancel" << "cmdClose";
    EXPECT_EQ(test::tabOrderNames(window), order);
}

TEST_F(TrackEditor, OpensWithTheTrackFoldersSortedAndTheFirstOneShown)
{
    for (const char* name : {"Zandvoort", "atlanta", ".hidden"}) {
        addTrack(name, iniWith(valuesOf(name[0] == 'a' ? 1 : 2)));
    }
    addTrack("Brands", "track_tire_heat = 1.5 \r\nai_qual_modifier = 0.9\r\n");
    test::hidden(app.game.path() / "tracks" / ".hidden");
#ifdef _WIN32
    addTrack("Shared", iniWith(valuesOf(4)));  // "shared" there, whatever its case
#else
    addTrack("shared", iniWith(valuesOf(4)));
    addTrack("Shared", iniWith(valuesOf(4)));  // only "shared" itself is passed over
#endif
    app.game.write("tracks/readme.txt", "not a track");
    open();
    ASSERT_FALSE(window->isUnloaded());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Track Editor");
    QStringList listed;
    for (int row = 0; row < window->List1->count(); ++row) {
        listed << window->List1->item(row)->text();
    }
#ifndef _WIN32
    EXPECT_EQ(listed, QStringList({"atlanta", "Brands", "Shared", "Zandvoort"}));
#else
    EXPECT_EQ(listed, QStringList({"atlanta", "Brands", "Zandvoort"}));
#endif
    EXPECT_EQ(window->List1->currentRow(), 0);
    EXPECT_TRUE(shows(valuesOf(1), false));
    EXPECT_EQ(app.menuShows, 0);

    // Clean: another track is shown without a question; keys its file lacks
    // leave their boxes empty. A click below the tracks keeps the loaded
    // track highlighted.
    clickTrack(1);
    EXPECT_TRUE(shows({"1.5", "", "", "", "", "", "", "", "", "", "", "0.9"}, false));
    const QPoint blank(10, window->List1->viewport()->height() - 5);
    ASSERT_EQ(window->List1->itemAt(blank), nullptr);
    QTest::mouseClick(window->List1->viewport(), Qt::LeftButton, {}, blank);
    EXPECT_EQ(window->List1->currentRow(), 1);
    EXPECT_TRUE(window->List1->item(1)->isSelected());
    // Clean: closes without a question.
    click(window->cmdClose);
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_EQ(app.menuShows, 1);
}

// The buttons pressed with Enter, as the keyboard alone does it.
TEST_F(TrackEditor, TypingMarksChangedCancelReloadsAndSaveChangesOnlyTheValuesInTheFile)
{
    const std::string sample = test::sampleTrackIni();
    addTrack("atlanta", sample);
    open();
    EXPECT_EQ(test::buttonsDeafToEnter(*window), QStringList());
    TrackValues values = test::sampleValues();
    EXPECT_TRUE(shows(values, false));
    type(4, "1.5");
    values[4] = "1.5";
    EXPECT_TRUE(shows(values, true));
    EXPECT_TRUE(test::pressOn(window->cmdCancel, Qt::Key_Enter));
    values[4] = test::sampleValues()[4];
    EXPECT_TRUE(shows(values, false));
    EXPECT_EQ(trackFile("atlanta"), sample);

    // Every box marks the window changed, the last one too.
    type(11, "2");
    EXPECT_TRUE(changed());
    // Save writes the boxes, an empty box as zero, and changes nothing else.
    // From the last box, Tab passes Restore Default and reaches Save.
    type(2, "");
    type(8, "0.95");
    window->Text1[11]->setFocus();
    QTest::keyClick(window->Text1[11], Qt::Key_Tab);
    ASSERT_EQ(window->focusWidget(), window->cmdRestore);
    QTest::keyClick(window->cmdRestore, Qt::Key_Tab);
    ASSERT_EQ(window->focusWidget(), window->cmdSave);
    QTest::keyClick(window->cmdSave, Qt::Key_Return);
    values[2] = "0";
    values[8] = "0.95";
    values[11] = "2";
    EXPECT_TRUE(shows(values, false));
    std::string expected = sample;
    for (const auto& [from, to] : {std::pair{"loss = 30.0 ", "loss = 0 "}, {"fuel_use = 1.00 ", "fuel_use = 0.95 "},
                                   {"ai_qual_modifier = 1.03", "ai_qual_modifier = 2"}}) {
        expected.replace(expected.find(from), std::string_view(from).size(), to);
    }
    EXPECT_EQ(trackFile("atlanta"), expected + "\r\n");

    app.appFolder.write("defaultTrackini.dat", test::defaultsRecord("atlanta", valuesOf(7)));
    EXPECT_TRUE(test::pressOn(window->cmdRestore, Qt::Key_Return));
    EXPECT_TRUE(shows(valuesOf(7), true));
    app.dialogs.expect(kSaveBeforeClose, Buttons::YesNoCancel, Icon::Question, Answer::No);
    EXPECT_TRUE(test::pressOn(window->cmdClose, Qt::Key_Return));
    EXPECT_TRUE(window->isUnloaded());
}

TEST_F(TrackEditor, SaveRefusesTextThatIsNotANumberOrThatTheCodePageLacks)
{
    openAtlanta();
    type(1, "");
    type(3, "abc");
    type(5, "");
    app.dialogs.expect(kNotNumbers, Buttons::Ok, Icon::Critical);
    click(window->cmdSave);
    TrackValues refused = valuesWith(1, 1, "0");  // before the refused box
    refused[3] = "abc";
    refused[5] = "";  // after it: not reached
    EXPECT_TRUE(shows(refused, true));
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));

    // Characters the game's code page lacks are refused by name.
    window->Text1[3]->setText(QString::fromUtf8("\xd9\xa3.5"));  // an Arabic-Indic digit three
    app.dialogs.expect(QString::fromUtf8("A value contains characters that the game's files cannot store: \xd9\xa3. "
                                         "Please input it without them."),
                       Buttons::Ok, Icon::Exclamation);
    click(window->cmdSave);
    EXPECT_TRUE(changed());
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));

    // Numbers in the forms the numeric test accepts are saved as typed,
    // less the blanks around them or after the sign, which would end the
    // value in the file (" -1.5E+2" would read back as an empty value).
    type(3, " - 1.5E+2 ");
    type(5, "+.5");
    click(window->cmdSave);
    refused[3] = "-1.5E+2";
    refused[5] = "+.5";
    EXPECT_TRUE(shows(refused, false));
    EXPECT_EQ(trackFile("atlanta"), iniWith(refused) + "\r\n");
}

TEST_F(TrackEditor, RestoreDefaultFillsTheBoxesFromTheDefaultsFileOrReportsItMissingOrIncomplete)
{
    addTrack("bristol", iniWith(valuesOf(2)));
    openAtlanta();
    type(0, "5");
    app.dialogs.expect(kDefaultsMissing, Buttons::Ok, Icon::Critical);
    click(window->cmdRestore);
    app.appFolder.write("defaultTrackini.dat", "\"atlanta\",\"1\",\"2\",\"3\"\r\n");
    app.dialogs.expect(kDefaultsIncomplete, Buttons::Ok, Icon::Critical);
    click(window->cmdRestore);
    EXPECT_TRUE(shows(valuesWith(1, 0, "5"), true));

    const std::string defaults = test::defaultsRecord("atlanta", valuesOf(7));
    app.appFolder.write("defaultTrackini.dat", defaults);
    click(window->cmdCancel);
    click(window->cmdRestore);
    EXPECT_TRUE(shows(valuesOf(7), true));
    EXPECT_EQ(trackFile("atlanta"), iniWith(valuesOf(1)));  // not written until saved

    // A track without a record: nothing happens, no message.
    app.dialogs.expect(kSaveBeforeOtherTrack, Buttons::YesNoCancel, Icon::Question, Answer::No);
    clickTrack(1);
    click(window->cmdRestore);
    EXPECT_TRUE(shows(valuesOf(2), false));
    // Defaults equal to what the boxes show change no box: still clean.
    app.appFolder.write("defaultTrackini.dat", defaults + test::defaultsRecord("bristol", valuesOf(2)));
    click(window->cmdRestore);
    EXPECT_TRUE(shows(valuesOf(2), false));
}

// Unsaved edits when the window closes or another track is chosen, by a
// click or a key: Cancel keeps them on their track, No drops them, Yes saves
// them into the file of the track they were made on. A save that is refused
// (text that is no number) or fails (a full disk, on Windows the file held
// open; a read-only file) is reported and keeps them, at Save too.
TEST_F(TrackEditor, UnsavedEditsWhenLeavingTheTrackOrTheWindow)
{
    enum class Leave { Save, CloseButton, CloseBox, Click, Key };
    enum class Fault { None, NotANumber, FullDisk, ReadOnly };
    struct Case {
        Leave leave;
        Answer answer;
        Fault fault = Fault::None;
    };
    const Case cases[] = {
        {Leave::CloseButton, Answer::Cancel}, {Leave::CloseBox, Answer::No},
        {Leave::CloseButton, Answer::Yes},    {Leave::Click, Answer::Cancel},
        {Leave::Key, Answer::Cancel},         {Leave::Click, Answer::Yes},
        {Leave::Key, Answer::No},             {Leave::Click, Answer::Yes, Fault::NotANumber},
        {Leave::Save, Answer::Yes, Fault::FullDisk}, {Leave::CloseButton, Answer::Yes, Fault::FullDisk},
        {Leave::Save, Answer::Yes, Fault::ReadOnly},
    };
    const std::filesystem::path ini = app.game.path() / "tracks" / "atlanta" / "track.ini";
    addTrack("bristol", iniWith(valuesOf(2)));
    int menuShows = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        addTrack("atlanta", iniWith(valuesOf(1)));
        if (c.fault == Fault::ReadOnly && !test::makeReadOnly(ini)) {
            continue;  // root writes all the same
        }
        open();
        TrackValues edited = valuesWith(1, 0, "7");
        type(0, "7");
        if (c.fault == Fault::NotANumber) {
            type(3, "x");
            edited[3] = "x";
        }
        const bool closing = c.leave == Leave::CloseButton || c.leave == Leave::CloseBox;
        if (c.leave != Leave::Save) {
            app.dialogs.expect(closing ? kSaveBeforeClose : kSaveBeforeOtherTrack, Buttons::YesNoCancel,
                               Icon::Question, c.answer);
        }
        if (c.fault != Fault::None) {
            app.dialogs.expect(c.fault == Fault::NotANumber ? kNotNumbers : kTrackIniNotSaved, Buttons::Ok,
                               Icon::Critical);
        }
        {
            std::optional<test::FailingWrites> fullDisk;
            if (c.fault == Fault::FullDisk) {
                fullDisk.emplace(ini, 16);
            }
            switch (c.leave) {
            case Leave::Save: click(window->cmdSave); break;
            case Leave::CloseButton: click(window->cmdClose); break;
            case Leave::CloseBox: window->close(); break;
            case Leave::Click: clickTrack(1); break;
            case Leave::Key: QTest::keyClick(window->List1, Qt::Key_Down); break;
            }
        }
        test::makeWritable(ini);
        const bool stays = c.answer == Answer::Cancel || c.fault != Fault::None;
        const bool saved = c.answer == Answer::Yes && !stays;
        EXPECT_EQ(trackFile("atlanta"), saved ? iniWith(edited) + "\r\n" : iniWith(valuesOf(1)));
        EXPECT_EQ(trackFile("bristol"), iniWith(valuesOf(2)));
        menuShows += closing && !stays ? 1 : 0;
        EXPECT_EQ(app.menuShows, menuShows);
        if (closing && !stays) {
            EXPECT_TRUE(window->isUnloaded());
        } else {
            // The track shown is the chosen and the only highlighted one.
            const int row = stays ? 0 : 1;
            ASSERT_FALSE(window->isUnloaded());
            test::processEvents();
            EXPECT_EQ(window->List1->currentRow(), row);
            EXPECT_EQ(window->List1->selectedItems(), QList<QListWidgetItem*>{window->List1->item(row)});
            EXPECT_TRUE(stays ? shows(edited, true) : shows(valuesOf(2), false));
        }
        if (c.fault == Fault::FullDisk || c.fault == Fault::ReadOnly) {
            // The disk has room again: Save works.
            click(window->cmdSave);
            EXPECT_FALSE(changed());
            EXPECT_EQ(trackFile("atlanta"), iniWith(edited) + "\r\n");
        }
        delete window.data();
        test::processEvents();
    }
}

// The question is a real message box here: it runs while the list is in the
// middle of handling the click that chose the other track.
TEST_F(TrackEditor, CancelInTheRealQuestionLeavesOnlyTheEditedTrackHighlighted)
{
    addTrack("bristol", iniWith(valuesOf(2)));
    openAtlanta();
    type(0, "7");
    ui::QtDialogs real;
    app.context.dialogs = &real;
    bool asked = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        asked = box->text() == kSaveBeforeOtherTrack;
        box->button(QMessageBox::Cancel)->click();
    });
    clickTrack(1);
    test::processEvents();
    app.context.dialogs = &app.dialogs;
    EXPECT_TRUE(asked);
    EXPECT_EQ(window->List1->currentRow(), 0);
    EXPECT_EQ(window->List1->selectedItems(), QList<QListWidgetItem*>{window->List1->item(0)});
    EXPECT_TRUE(shows(valuesWith(1, 0, "7"), true));
}

TEST_F(TrackEditor, ATrackFolderWithoutTrackIni)
{
    // The first track: the window opens with empty boxes, clean.
    app.game.mkdir("tracks/bristol");
    addTrack("zandvoort", iniWith(valuesOf(1)));
    addTrack("zolder", iniWith(valuesOf(3)));
    app.dialogs.expect(kNoTrackIni, Buttons::Ok, Icon::Critical);
    open();
    EXPECT_FALSE(window->isUnloaded());
    EXPECT_TRUE(shows({}, false));
    clickTrack(1);
    type(0, "7");
    const TrackValues edited = valuesWith(1, 0, "7");

    // Selecting it with unsaved edits: they are saved where they were made,
    // then the message, and the boxes as they were.
    app.dialogs.expect(kSaveBeforeOtherTrack, Buttons::YesNoCancel, Icon::Question, Answer::Yes)
        .expect(kNoTrackIni, Buttons::Ok, Icon::Critical);
    clickTrack(0);
    EXPECT_EQ(window->List1->currentRow(), 0);
    EXPECT_TRUE(shows(edited, false));
    EXPECT_EQ(trackFile("zandvoort"), iniWith(edited) + "\r\n");
    type(1, "8");
    TrackValues typed = edited;
    typed[1] = "8";
    // Save on it: refused, nothing created.
    app.dialogs.expect(kNoTrackIni, Buttons::Ok, Icon::Critical);
    click(window->cmdSave);
    EXPECT_TRUE(shows(typed, true));
    // Cancel on it: the message again, the boxes keep their texts, the
    // window becomes clean.
    app.dialogs.expect(kNoTrackIni, Buttons::Ok, Icon::Critical);
    click(window->cmdCancel);
    EXPECT_TRUE(shows(typed, false));
    EXPECT_FALSE(app.game.exists("tracks/bristol/track.ini"));

    // A track.ini that cannot be read (on Windows one that another program
    // holds open without sharing it): its own message, the boxes as they were.
    const std::filesystem::path locked = app.game.path() / "tracks" / "zolder" / "track.ini";
#ifdef _WIN32
    const test::HeldOpen held(locked, 0);
    ASSERT_TRUE(held.active());
#else
    if (geteuid() == 0) {
        return;  // permissions do not bind the superuser
    }
    std::filesystem::permissions(locked, std::filesystem::perms::none);
#endif
    app.dialogs.expect(QStringLiteral("Could not read track.ini."), Buttons::Ok, Icon::Critical);
    clickTrack(2);
    EXPECT_TRUE(shows(typed, false));
}

TEST_F(TrackEditor, NoTracksFolderClosesTheWindowAndBringsTheMenuBack)
{
    app.makeGameDirectory();
    app.game.write("tracks", "x");  // a file of that name is no folder
    app.dialogs.expect(kNoTracksFolder, Buttons::Ok, Icon::Critical);
    open();
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(app.menuShows, 1);
}

TEST_F(TrackEditor, ATracksFolderThatCannotBeListedClosesTheWindowToo)
{
    app.makeGameDirectory();
    const std::filesystem::path tracks = app.game.mkdir("tracks/atlanta").parent_path();
#ifdef _WIN32
    if (test::runningUnderWine()) {
        GTEST_SKIP() << "Wine does not enforce access lists: no folder there is one that cannot be listed";
    }
    const test::ScopedAccessList noListing(tracks, L"D:P(A;OICI;FX;;;WD)");  // pass through, never list
    ASSERT_TRUE(noListing.applied());
#else
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser: no folder is one that cannot be listed";
    }
    std::filesystem::permissions(tracks, std::filesystem::perms::none);
#endif
    app.dialogs.expect(kNoTracksFolder, Buttons::Ok, Icon::Critical);
    open();
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_EQ(app.menuShows, 1);
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
    EXPECT_TRUE(shows({}, false));

    // Restore Default and Save do nothing: no message, no box, no file.
    click(window->cmdRestore);
    type(0, "1");
    click(window->cmdSave);
    EXPECT_TRUE(shows({"1"}, true));
    EXPECT_FALSE(app.game.exists("tracks/track.ini"));
    EXPECT_FALSE(app.game.exists("tracks/shared/track.ini"));

    // With no track the edits could go to, closing asks nothing.
    EXPECT_TRUE(window->unload());
    EXPECT_EQ(app.menuShows, 1);
}

}  // namespace
}  // namespace gm::track
