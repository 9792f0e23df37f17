// The season scheduler from the keyboard: Enter presses the focused button,
// the event buttons that take each other's place included.
#include "season_test_support.h"
#include "support/keyboard.h"

namespace gm::season::test {
namespace {

using SeasonKeys = SeasonWindowTest;
using gm::test::pressOn;

TEST_F(SeasonKeys, EnterPressesTheFocusedButtonInEveryMode)
{
    frmSeason& f = openClub();
    ASSERT_TRUE(f.isVisible());
    EXPECT_EQ(gm::test::buttonsDeafToEnter(f), QStringList());

    EXPECT_TRUE(pressOn(f.cmdEdit, Qt::Key_Return));
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, false));
    choose(f, 1);
    EXPECT_TRUE(pressOn(f.cmdEditEvent, Qt::Key_Return));
    ASSERT_TRUE(inMode(f, Mode::EditingEvent));

    // Save Event, in the place of Edit Event, which Enter just hid.
    f.txtName->setText("Renamed");
    EXPECT_TRUE(pressOn(f.cmdAdd, Qt::Key_Return));
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, true));
    EXPECT_EQ(f.eventTable()[1][kName], "Renamed");

    // Cancel (Event), in the place of Delete Event (New Event left no
    // event chosen).
    EXPECT_TRUE(pressOn(f.cmdNewEvent, Qt::Key_Enter));
    ASSERT_TRUE(inMode(f, Mode::EditingEvent));
    EXPECT_EQ(f.txtEvent->text(), "4");
    EXPECT_TRUE(pressOn(f.cmdCencelEvent, Qt::Key_Return));
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, false));
    EXPECT_EQ(f.lstSchedule->count(), 3);

    // Cancel (Schedule) reads the season again, and the file is as it was.
    EXPECT_TRUE(pressOn(f.cmdCancel, Qt::Key_Return));
    EXPECT_TRUE(inMode(f, Mode::Viewing));
    EXPECT_EQ(f.eventTable()[1][kName], "Second");
    EXPECT_EQ(seasonFile("Club"), writeSchedule(makeSchedule("Club", "1999", kClubEvents)));
}

}  // namespace
}  // namespace gm::season::test
