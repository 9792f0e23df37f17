#include <gtest/gtest.h>

#include <QTest>
#include <optional>

#include "autoai/frm_auto_ai.h"
#include "autoai_window.h"
#include "support/failing_writes.h"
#include "support/keyboard.h"

namespace gm::autoai {
namespace {

using test::recordsWith;
using test::section;
using ui::Answer;
using ui::Buttons;
using ui::Icon;
using Strengths = std::vector<std::string>;

const std::string kAnn = recordsWith({{"dover", "80"}, {"texas", "90"}, {"kansas", "100"}});
const std::string kBob = recordsWith({{"pocono", "75"}});

// The window tests name its messages by these constants; their texts are
// the window's own, misspellings included.
TEST(AutoAIEditorMessages, AreTheWindowsOwnTexts)
{
    const std::pair<QString, const char*> texts[] = {
        {kNoPlayersFolder, "The correct directory could not found."},
        {kNoRecordsFile, "Could not find the playrecs.ini"},
        {kRecordsUnreadable, "Could not read the playrecs.ini."},
        {kRecordsNotSaved, "Could not save the playrecs.ini."},
        {kApplyNotNumber, "Please input a number for AI strength."},
        {kApplyAllNotNumber, "Please type a number for AI strength."},
        {kSaveBeforeOtherPlayer, "Whould you like to save the change you made before you select other player?"},
        {kSaveBeforeClose, "Whould you like to save before you close?"},
    };
    for (const auto& [constant, text] : texts) {
        EXPECT_EQ(constant.toStdString(), text);
    }
}

class AutoAIEditor : public test::AutoAIWindowTest {
protected:
    // Ann with three tracks, Bob with one, and Ann's key settings file.
    void openAnnAndBob()
    {
        addPlayer("Ann", kAnn);
        addPlayer("Bob", kBob);
        app.game.write("players/Ann.ks", "keys");
        open();
        ASSERT_FALSE(window->isUnloaded());
    }
};

TEST_F(AutoAIEditor, OpensOnTheFirstPlayerWithItsTracksAndStatistics)
{
    addPlayer("Ann", section("atlanta", "95.5", {"0.5", "61.2346", "30"}) + section("dover", "80", {}));
    addPlayer("Bob", kBob);
    app.game.write("players/Ann.ks", "keys");
    open();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Auto AI Editor");
    ASSERT_EQ(window->Combo1->count(), 2);
    EXPECT_EQ(window->Combo1->itemText(0), "Ann");
    EXPECT_EQ(window->Combo1->itemText(1), "Bob");
    EXPECT_EQ(window->Combo1->currentText(), "Ann");
    EXPECT_EQ(window->LoadedPlayer(), "Ann");
    EXPECT_EQ(listed(), QStringList({"atlanta", "dover"}));
    EXPECT_EQ(window->List1->currentRow(), 0);

    const QStringList laps = {window->txtAP->text(), window->txtAQ->text(), window->txtAR->text(),
                              window->txtSP->text(), window->txtSQ->text(), window->txtSR->text()};
    EXPECT_EQ(laps, QStringList({".500", "61.235", "30.000", ".000", ".000", ".000"}));
    EXPECT_EQ(window->txtAI->text(), "95.5");
    EXPECT_FALSE(applyEnabled());
    EXPECT_FALSE(window->cmdSave->isEnabled());
    EXPECT_TRUE(window->cmdChart->isEnabled());
    EXPECT_FALSE(window->Picture1->isVisible());

    // Reaching the strength box with Tab enables nothing; typing into it
    // does, as a click into it does, until a track is shown.
    window->List1->setFocus();
    QTest::keyClick(window->List1, Qt::Key_Tab);
    ASSERT_EQ(window->focusWidget(), window->txtAI);
    EXPECT_FALSE(applyEnabled());
    QTest::keyClick(window->txtAI, Qt::Key_End);
    EXPECT_FALSE(applyEnabled());
    QTest::keyClicks(window->txtAI, "5");
    EXPECT_TRUE(applyEnabled());
    clickTrack(1);
    EXPECT_FALSE(applyEnabled());
    QTest::mouseClick(window->txtAI, Qt::LeftButton);
    EXPECT_TRUE(applyEnabled());
    clickTrack(0);

    // A track without lap-time lines shows .000 in all six boxes.
    clickTrack(1);
    EXPECT_FALSE(applyEnabled());
    EXPECT_EQ(window->txtAP->text(), ".000");
    EXPECT_EQ(window->txtSR->text(), ".000");
    EXPECT_EQ(window->txtAI->text(), "80");
}

TEST_F(AutoAIEditor, ApplyClampsFormatsAndStoresTheStrength)
{
    openAnnAndBob();
    EXPECT_EQ(stats(), QStringList({"100.000000", "80.000000", "90.000000"}));

    struct Typed {
        const char* text;
        const char* shown;
    };
    for (const Typed& t : {Typed{"120", "110.000000"}, Typed{"65", "70.000000"}, Typed{"70", "70.000000"},
                           Typed{" 110 ", "110.000000"}, Typed{"95.25", "95.250000"}}) {
        typeStrength(QString::fromLatin1(t.text));
        EXPECT_TRUE(applyEnabled());
        QTest::mouseClick(window->cmdApply, Qt::LeftButton);
        EXPECT_EQ(window->txtAI->text(), t.shown) << t.text;
        EXPECT_EQ(strengths()[0], t.shown) << t.text;
        EXPECT_FALSE(applyEnabled());
    }
    EXPECT_TRUE(window->cmdSave->isEnabled());
    EXPECT_EQ(stats(), QStringList({"100.000000", "90.000000", "95.083333"}));

    // Text that is not a number changes nothing.
    for (const char* text : {"abc", ""}) {
        typeStrength(QString::fromLatin1(text));
        app.dialogs.expect(kApplyNotNumber, Buttons::Ok, Icon::Critical);
        QTest::mouseClick(window->cmdApply, Qt::LeftButton);
        EXPECT_EQ(window->txtAI->text(), text);
        EXPECT_EQ(strengths()[0], "95.250000");
        EXPECT_TRUE(applyEnabled());
    }

    QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    EXPECT_FALSE(window->cmdSave->isEnabled());
    EXPECT_EQ(recordsOf("Ann"),
              recordsWith({{"dover", "95.250000"}, {"texas", "90"}, {"kansas", "100"}}) + "\r\n");
    // The window shows the file read back.
    EXPECT_EQ(window->txtAI->text(), "95.250000");
    EXPECT_EQ(window->List1->currentRow(), 0);
}

TEST_F(AutoAIEditor, ApplyToAllStoresTheTypedTextAndTheKeyboardAloneAppliesAndSaves)
{
    openAnnAndBob();
    EXPECT_EQ(test::buttonsDeafToEnter(*window), QStringList());
    typeStrength("abc");
    app.dialogs.expect(kApplyAllNotNumber, Buttons::Ok, Icon::Critical);
    QTest::mouseClick(window->cmdApplyAll, Qt::LeftButton);
    EXPECT_EQ(strengths(), Strengths({"80", "90", "100"}));
    EXPECT_FALSE(window->cmdSave->isEnabled());

    // Tab into the strength box, type, Tab on to Apply, Enter.
    window->List1->setFocus();
    QTest::keyClick(window->List1, Qt::Key_Tab);
    ASSERT_EQ(window->focusWidget(), window->txtAI);
    window->txtAI->selectAll();
    QTest::keyClicks(window->txtAI, "99");
    QTest::keyClick(window->txtAI, Qt::Key_Tab);
    ASSERT_EQ(window->focusWidget(), window->cmdApply);
    QTest::keyClick(window->cmdApply, Qt::Key_Return);
    EXPECT_EQ(strengths(), Strengths({"99.000000", "90", "100"}));
    EXPECT_TRUE(window->cmdSave->isEnabled());

    // Apply to All stores a bound for a number out of range, else the text
    // as typed, and shows it formatted.
    typeStrength("200", window->cmdApplyAll);
    EXPECT_EQ(strengths(), Strengths({"110", "110", "110"}));
    EXPECT_EQ(stats(), QStringList({"110.000000", "110.000000", "110.000000"}));
    window->txtAI->setFocus();
    window->txtAI->selectAll();
    QTest::keyClicks(window->txtAI, "95");
    EXPECT_TRUE(test::pressOn(window->cmdApplyAll, Qt::Key_Enter));
    EXPECT_EQ(window->txtAI->text(), "95.000000");
    EXPECT_EQ(strengths(), Strengths({"95", "95", "95"}));
    EXPECT_EQ(stats(), QStringList({"95.000000", "95.000000", "95.000000"}));
    EXPECT_FALSE(applyEnabled());
    EXPECT_TRUE(test::pressOn(window->cmdSave, Qt::Key_Return));
    EXPECT_FALSE(window->cmdSave->isEnabled());
    EXPECT_EQ(recordsOf("Ann"), recordsWith({{"dover", "95"}, {"texas", "95"}, {"kansas", "95"}}) + "\r\n");
    EXPECT_EQ(recordsOf("Bob"), kBob);

    // The chart and its Hide button answer Enter too.
    EXPECT_TRUE(test::pressOn(window->cmdChart, Qt::Key_Return));
    EXPECT_TRUE(window->Picture1->isVisible());
    EXPECT_TRUE(test::pressOn(window->cmdHide, Qt::Key_Return));
    EXPECT_FALSE(window->Picture1->isVisible());
}

// The game writes the records file after each race, also while the editor
// has it open: a save puts the edited strengths into the file as it is then,
// and names the tracks it no longer has.
TEST_F(AutoAIEditor, ASaveKeepsWhatTheGameWroteSinceTheLoadAndNamesTheTracksItNoLongerHas)
{
    const QString kGone =
        QStringLiteral("The AI strength of these tracks was not saved, because the playrecs.ini no longer has an AI "
                       "strength line for them:\r\n\r\n");
    openAnnAndBob();
    typeStrength("99", window->cmdApply);  // dover
    addPlayer("Ann", section("dover", "80", {"30.5"}) + section("texas", "93", {"29.25"}) +
                         section("kansas", "100", {}) + section("atlanta", "88", {}));
    QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    EXPECT_EQ(recordsOf("Ann"), section("dover", "99.000000", {"30.5"}) + section("texas", "93", {"29.25"}) +
                                    section("kansas", "100", {}) + section("atlanta", "88", {}) + "\r\n");
    // The window shows the file read back, new track and lap record included.
    EXPECT_EQ(listed(), QStringList({"dover", "texas", "kansas", "atlanta"}));
    EXPECT_EQ(window->txtAP->text(), "30.500");
    EXPECT_EQ(stats(), QStringList({"100.000000", "88.000000", "95.000000"}));
    EXPECT_FALSE(window->cmdSave->isEnabled());

    // Some gone: the others are saved.
    typeStrength("85", window->cmdApplyAll);
    const std::string withoutDover = recordsWith({{"texas", "91"}, {"kansas", "100"}});
    addPlayer("Ann", withoutDover);
    app.dialogs.expect(kGone + "dover\r\natlanta\r\n\r\nThe AI strength of the other tracks was saved.",
                       Buttons::Ok, Icon::Exclamation);
    QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    EXPECT_EQ(recordsOf("Ann"), recordsWith({{"texas", "85"}, {"kansas", "85"}}) + "\r\n");
    EXPECT_EQ(listed(), QStringList({"texas", "kansas"}));
    EXPECT_FALSE(window->cmdSave->isEnabled());

    // All gone, at closing: nothing is written, and the window closes.
    typeStrength("75", window->cmdApply);  // texas
    addPlayer("Ann", withoutDover.substr(withoutDover.find("[kansas]")));
    const std::string kansasOnly = recordsOf("Ann");
    app.dialogs.expect(kSaveBeforeClose, Buttons::YesNoCancel, Icon::Question, Answer::Yes)
        .expect(kGone + "texas\r\n\r\nNothing was saved.", Buttons::Ok, Icon::Exclamation);
    QTest::mouseClick(window->cmdClose, Qt::LeftButton);
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_EQ(recordsOf("Ann"), kansasOnly);
}

// Unsaved edits when another player is chosen or the window closes: Cancel
// keeps them with their player, No drops them, Yes saves them into the file
// of the player they were made for. A save that fails (a full disk, on
// Windows the file held open by another program) is reported and keeps
// them, at Save too.
TEST_F(AutoAIEditor, UnsavedEditsWhenLeavingThePlayerOrTheWindow)
{
    enum class Leave { Save, OtherPlayer, CloseButton, CloseBox };
    struct Case {
        Leave leave;
        Answer answer;
        bool saveFails = false;
    };
    const Case cases[] = {
        {Leave::Save, Answer::Yes, true},
        {Leave::OtherPlayer, Answer::Cancel}, {Leave::OtherPlayer, Answer::No},
        {Leave::OtherPlayer, Answer::Yes},    {Leave::OtherPlayer, Answer::Yes, true},
        {Leave::CloseButton, Answer::Cancel}, {Leave::CloseBox, Answer::No},
        {Leave::CloseButton, Answer::Yes},    {Leave::CloseBox, Answer::Yes, true},
    };
    int menuShows = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        openAnnAndBob();
        typeStrength("99", window->cmdApply);
        const bool otherPlayer = c.leave == Leave::OtherPlayer;
        if (c.leave != Leave::Save) {
            app.dialogs.expect(otherPlayer ? kSaveBeforeOtherPlayer : kSaveBeforeClose, Buttons::YesNoCancel,
                               Icon::Question, c.answer);
        }
        if (c.saveFails) {
            app.dialogs.expect(kRecordsNotSaved, Buttons::Ok, Icon::Critical);
        }
        {
            std::optional<test::FailingWrites> fullDisk;
            if (c.saveFails) {
                fullDisk.emplace(app.game.path() / "players" / "Ann" / "playrecs.ini", 16);
            }
            if (c.leave == Leave::Save) {
                QTest::mouseClick(window->cmdSave, Qt::LeftButton);
            } else if (otherPlayer) {
                choosePlayer(1);
            } else if (c.leave == Leave::CloseButton) {
                QTest::mouseClick(window->cmdClose, Qt::LeftButton);
            } else {
                window->close();
            }
        }
        const bool stays = c.answer == Answer::Cancel || c.saveFails;
        const bool saved = c.answer == Answer::Yes && !c.saveFails;
        EXPECT_EQ(recordsOf("Ann"),
                  saved ? recordsWith({{"dover", "99.000000"}, {"texas", "90"}, {"kansas", "100"}}) + "\r\n" : kAnn);
        EXPECT_EQ(recordsOf("Bob"), kBob);
        menuShows += otherPlayer || stays ? 0 : 1;
        EXPECT_EQ(app.menuShows, menuShows);
        if (stays) {
            EXPECT_FALSE(window->isUnloaded());
            EXPECT_EQ(window->LoadedPlayer(), "Ann");
            EXPECT_EQ(window->Combo1->currentText(), "Ann");
            EXPECT_EQ(listed(), QStringList({"dover", "texas", "kansas"}));
            EXPECT_EQ(strengths()[0], "99.000000");
            EXPECT_TRUE(window->cmdSave->isEnabled());
        } else if (otherPlayer) {
            EXPECT_EQ(window->LoadedPlayer(), "Bob");
            EXPECT_EQ(listed(), QStringList({"pocono"}));
            EXPECT_FALSE(window->cmdSave->isEnabled());
        } else {
            EXPECT_TRUE(window->isUnloaded());
        }
        delete window.data();
        test::processEvents();
    }
}

// A player without a records file, and one whose records file cannot be read
// (here a folder of that name): its message, then the window as for no file.
TEST_F(AutoAIEditor, APlayerWithoutReadableRecordsAndBack)
{
    addPlayer("Ann", kAnn);
    app.game.mkdir("players/Bob");
    app.game.mkdir("players/Cy/playrecs.ini");
    open();
    for (const auto& [player, message] : {std::pair{1, kNoRecordsFile}, std::pair{2, kRecordsUnreadable}}) {
        QTest::mouseClick(window->cmdChart, Qt::LeftButton);
        ASSERT_TRUE(window->Picture1->isVisible());
        app.dialogs.expect(message, Buttons::Ok, Icon::Critical);
        choosePlayer(player);
        EXPECT_EQ(window->LoadedPlayer(), "");
        EXPECT_EQ(window->List1->count(), 0);
        for (const QLineEdit* box : {window->txtAP, window->txtAQ, window->txtAR, window->txtSP, window->txtSQ,
                                     window->txtSR, window->txtMax, window->txtMin, window->txtAvg, window->txtAI}) {
            EXPECT_TRUE(box->text().isEmpty()) << box->objectName().toStdString();
        }
        EXPECT_FALSE(window->Picture1->isVisible());
        EXPECT_FALSE(window->cmdChart->isEnabled());
        EXPECT_FALSE(window->cmdSave->isEnabled());
        // With no track listed neither a click into the box nor typing
        // enables anything.
        QTest::mouseClick(window->txtAI, Qt::LeftButton);
        QTest::keyClicks(window->txtAI, "90");
        EXPECT_FALSE(applyEnabled());

        choosePlayer(0);
        EXPECT_EQ(window->LoadedPlayer(), "Ann");
        EXPECT_TRUE(window->cmdChart->isEnabled());
        EXPECT_EQ(stats(), QStringList({"100.000000", "80.000000", "90.000000"}));
    }
}

TEST_F(AutoAIEditor, NoPlayersFolderNoPlayerAndNoSection)
{
    // No players folder: the message, and the menu comes back.
    app.dialogs.expect(kNoPlayersFolder, Buttons::Ok, Icon::Critical);
    open();
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_EQ(app.menuShows, 1);
    test::processEvents();

    // No player: an empty window, nothing to apply, save or draw.
    app.game.write("players/Ann.ks", "keys");
    open();
    ASSERT_FALSE(window->isUnloaded());
    EXPECT_EQ(window->Combo1->count(), 0);
    EXPECT_EQ(window->List1->count(), 0);
    EXPECT_TRUE(window->txtMax->text().isEmpty());
    EXPECT_FALSE(window->cmdSave->isEnabled());
    EXPECT_FALSE(window->cmdChart->isEnabled());
    QTest::mouseClick(window->txtAI, Qt::LeftButton);
    EXPECT_FALSE(applyEnabled());
    delete window.data();

    // A records file without a section: empty statistics.
    addPlayer("Ann", "RacesRun=3\r\n");
    open();
    EXPECT_EQ(window->LoadedPlayer(), "Ann");
    EXPECT_EQ(stats(), QStringList({"", "", ""}));
    QTest::mouseClick(window->txtAI, Qt::LeftButton);
    EXPECT_FALSE(applyEnabled());
}

TEST_F(AutoAIEditor, ThePlayerFieldTakesOnlyListedNames)
{
    openAnnAndBob();
    QLineEdit* field = window->Combo1->lineEdit();
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "Zed");
    EXPECT_EQ(field->text(), "Ann");

    // The reload after a save reads the loaded player, whatever the field shows.
    typeStrength("85", window->cmdApply);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "Bob");
    ASSERT_EQ(field->text(), "Bob");
    window->cmdSave_Click();
    EXPECT_EQ(window->LoadedPlayer(), "Ann");
    EXPECT_EQ(window->Combo1->currentText(), "Ann");
    EXPECT_EQ(listed(), QStringList({"dover", "texas", "kansas"}));
    EXPECT_EQ(recordsOf("Bob"), kBob);

    // A whole name confirmed with Enter chooses that player.
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "Bob");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(window->LoadedPlayer(), "Bob");
}

}  // namespace
}  // namespace gm::autoai
