// The event commands of the season scheduler: New Event and its date,
// Save Event and its checks, Delete Event and the moves.
#include <QTest>
#include <array>
#include <functional>
#include <optional>

#include "season/event_rules.h"
#include "season_test_support.h"

namespace gm::season::test {
namespace {

// The window editing the season "S" of these events.
class SeasonEventsOn : public SeasonWindowTest {
protected:
    frmSeason& editing(const std::vector<EventSpec>& events)
    {
        writeSeason("S", makeSchedule("S", "2010", events));
        frmSeason& f = open();
        f.cmdEdit_Click();
        return f;
    }
};

TEST(SeasonEventDate, NewEventSuggestsTheDateOneWeekAfterTheLastEvent)
{
    // A month typed with a leading zero is kept as typed when the week stays
    // in it; a day text is counted from the number it begins with; a
    // fractional month counts from the month it rounds to (half to even); a
    // month that is not a number from 1 to 12 gives no date.
    const std::vector<std::array<const char*, 4>> cases = {
        {"25", "1", "1", "2"},   {"24", "2", "3", "3"},     {"28", "12", "4", "1"},   {"10", "5", "17", "5"},
        {"31", "4", "8", "5"},   {"24", "12", "31", "12"},  {"3", "05", "10", "05"},  {"1.5", "2", "8.5", "2"},
        {"25", "1.5", "4", "2.5"}, {"3", "1.5", "10", "1.5"}, {"27", "2.5", "6", "3.5"}, {"3", "13", nullptr, nullptr},
        {"3", "0", nullptr, nullptr}, {"3", "", nullptr, nullptr}, {"3", "0.5", nullptr, nullptr},
        {"3", "12.5", nullptr, nullptr}};
    for (const auto& [day, month, nextDay, nextMonth] : cases) {
        const std::optional<EventDate> next = weekAfter(day, month);
        ASSERT_EQ(next.has_value(), nextDay != nullptr) << day << "/" << month;
        if (next) {
            EXPECT_EQ(next->day, nextDay) << day << "/" << month;
            EXPECT_EQ(next->month, nextMonth) << day << "/" << month;
        }
    }
}

TEST_F(SeasonEventsOn, NewEventClearsTheFieldsAndCountsFromTheEndOfTheList)
{
    frmSeason& f = editing({{"5", "3", "A", "20", "sebring", "2"}, {"12", "3", "B"}, {"19", "3", "C"}});
    choose(f, 0);
    ASSERT_TRUE(f.optRight->isChecked());
    f.cmdNewEvent_Click();
    EXPECT_EQ(shown(f), (EventRow{"4", "26", "3", "", "", "", "1"}));
    EXPECT_EQ(f.cboTrack->currentIndex(), -1);
    EXPECT_EQ(f.lstSchedule->selectedItems().size(), 0);
    EXPECT_TRUE(inMode(f, Mode::EditingEvent));

    // The saved new event is the chosen one: Move Up moves it.
    f.txtName->setText("D");
    f.txtLaps->setText("5");
    f.cboTrack->setCurrentIndex(0);
    f.cmdAdd_Click();
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, true));
    f.cmdUp_Click();
    EXPECT_EQ(listed(f), (QStringList{"A", "B", "D", "C"}));
    EXPECT_EQ(f.txtEvent->text(), "3");
    EXPECT_EQ(saveOver(f, "S"), writeSchedule(makeSchedule("S", "2010", {{"5", "3", "A", "20", "sebring", "2"},
                                                                         {"12", "3", "B"},
                                                                         {"26", "3", "D", "5", "atlanta", "1"},
                                                                         {"19", "3", "C"}})));

    // On an empty schedule: number 1, no date.
    f.cmdNew_Click();
    f.cmdNewEvent_Click();
    EXPECT_EQ(shown(f), (EventRow{"1", "", "", "", "", "", "1"}));
    EXPECT_TRUE(inMode(f, Mode::EditingEvent));
}

TEST_F(SeasonEventsOn, SaveEventRunsItsChecksInOrder)
{
    const QString ring = QString::fromUtf8("\xc5\x81\xc3\xb3" "d\xc5\xba Ring");
    app.game.mkdir("tracks/\xc5\x81\xc3\xb3" "d\xc5\xba Ring");
    frmSeason& f = editing({{"1", "1", "Opener", "10", "oldtrack"}});
    const EventTable before = f.eventTable();
    f.cmdNewEvent_Click();
    f.txtDay->clear();
    f.txtMonth->clear();
    // Each step fixes the field of the previous refusal and meets the next.
    // What the code page cannot hold is refused by name; the track folder is
    // offered, but a schedule cannot name it.
    const QString cannotStore = QStringLiteral(" contains characters that the game's files cannot store: ");
    struct Step {
        std::function<void()> change;
        QString message;
        Icon icon = Icon::Critical;
    };
    const std::vector<Step> steps = {
        {[&] { f.txtEvent->clear(); }, "Please input a number for event number."},
        {[&] { f.txtEvent->setText("2"); }, "Please input a number for day."},
        {[&] { f.txtDay->setText("x"); }, "Please input a number for day."},
        {[&] { f.txtDay->setText("32"); }, "Please input a number for month."},
        {[&] { f.txtMonth->setText(" 13 "); }, "Please input a number for laps."},
        {[&] { f.txtLaps->setText("0.5"); }, "Please input a valid day (1-31)."},
        {[&] { f.txtDay->setText("0"); }, "Please input a valid day (1-31)."},
        {[&] { f.txtDay->setText("1.5"); }, "Please input a valid month (1-12)."},
        {[&] { f.txtMonth->setText("12"); }, "The number of laps is invalid."},
        {[&] { f.txtLaps->setText("1e3"); }, "Please select a track."},
        {[&] {
             f.cboTrack->setCurrentIndex(f.cboTrack->findText("watkins"));
             f.txtName->setText(QString::fromUtf8("Caf\xc3\xa9 \xce\xa9"));
         },
         "The event name" + cannotStore + QString::fromUtf8("\xce\xa9. Please input it without them."), Icon::Exclamation},
        {[&] {
             f.txtName->setText(QString::fromUtf8("  Caf\xc3\xa9\r\nRace\r"));
             f.cboTrack->setCurrentIndex(f.cboTrack->findText(ring));
             ASSERT_EQ(f.cboTrack->currentText(), ring);
         },
         "The track folder " + ring + cannotStore +
             QString::fromUtf8("\xc5\x81 \xc5\xba. The game cannot find such a track, so it cannot be chosen for a "
                               "schedule."),
         Icon::Exclamation},
    };
    for (const Step& step : steps) {
        step.change();
        app.dialogs.expect(step.message, Buttons::Ok, step.icon);
        f.cmdAdd_Click();
        EXPECT_TRUE(inMode(f, Mode::EditingEvent)) << step.message.toStdString();
        EXPECT_EQ(f.lstSchedule->count(), 1) << step.message.toStdString();
        EXPECT_EQ(f.eventTable(), before) << step.message.toStdString();
    }
    f.cboTrack->setCurrentIndex(f.cboTrack->findText("watkins"));
    f.optRight->setChecked(true);
    f.cmdAdd_Click();
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, false));
    EXPECT_EQ(listed(f), (QStringList{"Opener", QString::fromUtf8("  Caf\xc3\xa9\r\nRace\r")}));
    // Stored as typed in the code page, but for line breaks, which become
    // blanks.
    EXPECT_EQ(f.eventTable()[1], (EventRow{"2", "1.5", "12", "  Caf\xe9  Race ", "1e3", "watkins", "2"}));

    // An event whose track is not installed shows none, and cannot be saved
    // so.
    choose(f, 0);
    EXPECT_EQ(f.cboTrack->currentIndex(), -1);
    EXPECT_EQ(f.cboTrack->currentText(), "");
    f.cmdEditEvent_Click();
    app.dialogs.expect("Please select a track.", Buttons::Ok, Icon::Critical);
    f.cmdAdd_Click();
    EXPECT_EQ(f.eventTable()[0], before[0]);
}

TEST_F(SeasonEventsOn, NinetyNineEventsAreTheMostThatCanBeSaved)
{
    std::vector<EventSpec> races;
    for (int i = 1; i <= 98; ++i) {
        races.push_back({"1", "1", "Race " + std::to_string(i)});
    }
    frmSeason& f = editing(races);
    f.cmdNewEvent_Click();
    EXPECT_EQ(f.txtEvent->text(), "99");
    f.txtLaps->setText("3");
    f.cboTrack->setCurrentIndex(0);
    f.cmdAdd_Click();
    ASSERT_EQ(f.lstSchedule->count(), 99);
    EXPECT_EQ(f.eventTable()[98][kNumber], "99");

    // Not even an existing event can be saved now.
    choose(f, 4);
    f.cmdEditEvent_Click();
    f.txtName->setText("Renamed");
    app.dialogs.expect("Too many race events.", Buttons::Ok, Icon::Critical);
    f.cmdAdd_Click();
    EXPECT_TRUE(inMode(f, Mode::EditingEvent));
    f.cmdCencelEvent_Click();

    choose(f, 98);
    f.cmdDeleteEvent_Click();
    EXPECT_EQ(f.lstSchedule->count(), 98);
    choose(f, 4);
    f.cmdEditEvent_Click();
    f.txtName->setText("Renamed");
    f.cmdAdd_Click();
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, true));
    EXPECT_EQ(f.eventTable()[4][kName], "Renamed");
    // The list keeps the old name until it is rebuilt.
    EXPECT_EQ(f.lstSchedule->item(4)->text(), "Race 5");
    f.cmdDown_Click();
    EXPECT_EQ(f.lstSchedule->item(5)->text(), "Renamed");

    // The save writes 98 events in file order.
    const ReadResult back = readSchedule(saveOver(f, "S"));
    EXPECT_TRUE(back.valid);
    ASSERT_EQ(back.eventNames.size(), 98u);
    EXPECT_EQ(back.eventNames[5], "Renamed");
    EXPECT_EQ(back.events[97][kNumber], "98");
}

TEST_F(SeasonEventsOn, DeleteEventMovesTheLaterEventsUpAndTheMovesExchangeEventsKeepingTheNumbers)
{
    frmSeason& f = editing({{"1", "1", "A", "11"}, {"2", "1", "B", "12"}, {"3", "1", "C", "13"}, {"4", "1", "D", "14"}});
    f.cmdDeleteEvent_Click();  // nothing chosen: nothing happens
    EXPECT_EQ(f.lstSchedule->count(), 4);
    // Chosen by a click; a click below the events keeps it chosen.
    QListWidget* list = f.lstSchedule;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    const QPoint blank(10, list->viewport()->height() - 5);
    ASSERT_EQ(list->itemAt(blank), nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, blank);
    EXPECT_TRUE(list->item(1)->isSelected());
    EXPECT_EQ(f.txtEvent->text(), "2");
    f.cmdDeleteEvent_Click();
    EXPECT_EQ(listed(f), (QStringList{"A", "C", "D"}));
    // The fourth row keeps only its number; the others are in the file below.
    EXPECT_EQ(f.eventTable()[3], (EventRow{"4", "", "", "", "", "", ""}));
    EXPECT_EQ(f.lstSchedule->selectedItems().size(), 0);
    EXPECT_EQ(f.txtEvent->text(), "");
    EXPECT_TRUE(inMode(f, Mode::EditingSchedule, true));

    // The schedule is written with events numbered 1 to 3.
    EXPECT_EQ(saveOver(f, "S"), writeSchedule(makeSchedule("S", "2010", {{"1", "1", "A", "11"},
                                                                         {"3", "1", "C", "13"},
                                                                         {"4", "1", "D", "14"}})));

    // The moves exchange events and keep the numbers.
    f.cmdEdit_Click();
    choose(f, 0);
    f.cmdDown_Click();
    EXPECT_EQ(f.txtEvent->text(), "2");
    f.cmdDown_Click();
    EXPECT_EQ(f.txtEvent->text(), "3");
    EXPECT_EQ(listed(f), (QStringList{"C", "D", "A"}));
    EXPECT_EQ(f.lstSchedule->selectedItems().size(), 0);
    EXPECT_EQ(f.eventTable()[0], (EventRow{"1", "3", "1", "C", "13", "atlanta", "1"}));
    EXPECT_EQ(f.eventTable()[2], (EventRow{"3", "1", "1", "A", "11", "atlanta", "1"}));
    EXPECT_EQ(f.txtName->text(), "A");

    // Down on the last event and Up on the first do nothing.
    f.cmdDown_Click();
    EXPECT_EQ(f.txtEvent->text(), "3");
    EXPECT_EQ(listed(f), (QStringList{"C", "D", "A"}));
    choose(f, 0);
    f.cmdUp_Click();
    EXPECT_EQ(f.txtEvent->text(), "1");
    EXPECT_EQ(listed(f), (QStringList{"C", "D", "A"}));
    EXPECT_EQ(f.eventTable()[0][kName], "C");

    // With an empty event number (after Delete Event) the moves do nothing.
    choose(f, 1);
    f.cmdDeleteEvent_Click();
    f.cmdUp_Click();
    f.cmdDown_Click();
    EXPECT_EQ(listed(f), (QStringList{"C", "A"}));
}

}  // namespace
}  // namespace gm::season::test
