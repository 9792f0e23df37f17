// What the season scheduler window tests share: a game folder with a season
// folder and tracks, schedules to put in it, and a check of the window's
// mode on the control states that make it.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/fs.h"
#include "season/frm_season.h"
#include "season/season_file.h"
#include "support/test_app.h"

namespace gm::season::test {

using gm::test::TestApp;
using ui::Answer;
using ui::Buttons;
using ui::Icon;

struct EventSpec {
    std::string day;
    std::string month;
    std::string name;
    std::string laps = "10";
    std::string track = "atlanta";
    std::string grid = "1";
};

inline Schedule makeSchedule(const std::string& name, const std::string& year, const std::vector<EventSpec>& events)
{
    Schedule s;
    s.name = name;
    s.year = year;
    s.eventCount = static_cast<int>(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const EventSpec& e = events[i];
        s.events[i] = {std::to_string(i + 1), e.day, e.month, e.name, e.laps, e.track, e.grid};
    }
    return s;
}

// The three events of the season "Club".
inline const std::vector<EventSpec> kClubEvents = {{"5", "3", "First", "20", "atlanta", "1"},
                                                    {"12", "3", "Second", "30", "sebring", "2"},
                                                    {"19", "3", "Third", "40", "watkins", "1"}};

// A game folder with series\cup and the tracks atlanta, sebring, shared and
// watkins; the window is created by open() and deleted at the end.
class SeasonWindowTest : public ::testing::Test {
protected:
    SeasonWindowTest()
    {
        app.game.mkdir("series/cup");
        for (const char* track : {"atlanta", "sebring", "shared", "watkins"}) {
            app.game.mkdir(std::string("tracks/") + track);
        }
    }
    ~SeasonWindowTest() override
    {
        delete form.data();
        gm::test::processEvents();
    }

    void writeSeason(const std::string& name, const Schedule& schedule) const
    {
        app.game.write("series/cup/" + name + ".ini", writeSchedule(schedule));
    }
    std::string seasonFile(const std::string& name) const { return app.game.read("series/cup/" + name + ".ini"); }
    bool seasonExists(const std::string& name) const { return app.game.exists("series/cup/" + name + ".ini"); }
    // The names of the season folder's files, sorted.
    std::vector<std::string> fileNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(app.game.path() / "series" / "cup")) {
            names.push_back(platform::fromPath(entry.path().filename()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // Saves the schedule over the season's existing file (Ok to the
    // question) and gives what the file holds then.
    std::string saveOver(frmSeason& f, const std::string& name)
    {
        app.dialogs.expect(QString::fromStdString(name) + ".ini already exists.  Would you like to overwrite?",
                           Buttons::OkCancel, Icon::Question, Answer::Ok);
        f.cmdSave_Click();
        return seasonFile(name);
    }

    frmSeason& open()
    {
        form = new frmSeason(app.context);
        form->Form_Load();
        return *form;
    }
    // Opens on the three-event season "Club" (and "Zeta" after it).
    frmSeason& openClub()
    {
        writeSeason("Club", makeSchedule("Club", "1999", kClubEvents));
        writeSeason("Zeta", makeSchedule("Zeta", "2000", {{"1", "1", "Only"}}));
        return open();
    }

    // Chooses an event in the list as a click does.
    static void choose(frmSeason& f, int row)
    {
        f.lstSchedule->setCurrentRow(row);
        ASSERT_TRUE(f.lstSchedule->item(row)->isSelected());
    }
    // The texts of a list's or a combo box's entries.
    static QStringList entries(const QAbstractItemModel* model)
    {
        QStringList texts;
        for (int i = 0; i < model->rowCount(); ++i) {
            texts << model->index(i, 0).data().toString();
        }
        return texts;
    }
    static QStringList listed(const frmSeason& f) { return entries(f.lstSchedule->model()); }

    TestApp app;
    QPointer<frmSeason> form;
};

enum class Mode { Viewing, EditingSchedule, EditingEvent };

// The control states of a mode as the window defines them. `eventButtons` is
// the enabled state of Move Up, Move Down, Edit Event and Delete Event in
// Editing schedule (in Viewing they are always off; in Editing event the
// moves are off and the other two hidden).
inline ::testing::AssertionResult inMode(const frmSeason& f, Mode mode, bool eventButtons = false)
{
    const bool viewing = mode == Mode::Viewing, editingEvent = mode == Mode::EditingEvent;
    const bool buttons = mode == Mode::EditingSchedule && eventButtons;
    std::string wrong;
    auto check = [&wrong](const QWidget* w, const char* what, bool actual, bool expected) {
        if (actual != expected) {
            wrong += w->objectName().toStdString() + " " + what + (expected ? " should be on; " : " should be off; ");
        }
    };
    // Each control: visible, and if so enabled, or not.
    const std::vector<std::tuple<const QWidget*, bool, bool>> controls = {
        {f.Combo1, true, viewing}, {f.cmdNew, viewing, true}, {f.cmdEdit, viewing, true}, {f.cmdDelete, viewing, true},
        {f.cmdSave, !viewing, true}, {f.cmdCancel, !viewing, true}, {f.cmdNewEvent, !editingEvent, !viewing},
        {f.cmdEditEvent, !editingEvent, buttons}, {f.cmdDeleteEvent, !editingEvent, buttons}, {f.cmdUp, true, buttons},
        {f.cmdDown, true, buttons}, {f.cmdAdd, editingEvent, true}, {f.cmdCencelEvent, editingEvent, true},
        {f.optLeft, true, editingEvent}, {f.optRight, true, editingEvent}, {f.lstSchedule, true, true},
        {f.cmdClose, true, true}};
    for (const auto& [w, visible, enabled] : controls) {
        check(w, "visible", w->isVisibleTo(&f), visible);
        if (visible) {
            check(w, "enabled", w->isEnabled(), enabled);
        }
    }
    // A box's read-only state and its background go together.
    const QColor grey = f.cmdClose->palette().color(QPalette::Button);
    const QColor white = QApplication::palette().color(QPalette::Base);
    const std::vector<std::pair<const QWidget*, bool>> boxes = {
        {f.txtSeasonName, viewing}, {f.txtYear, viewing}, {f.txtDay, !editingEvent},  {f.txtMonth, !editingEvent},
        {f.txtName, !editingEvent}, {f.txtLaps, !editingEvent}, {f.cboTrack, !editingEvent}, {f.txtEvent, true}};
    for (const auto& [w, readOnly] : boxes) {
        check(w, "read-only", w->property("readOnly").toBool(), readOnly);
        check(w, readOnly ? "grey" : "white", w->palette().color(QPalette::Base) == (readOnly ? grey : white), true);
    }
    if (wrong.empty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << wrong;
}

// The event the boxes show, as a row of the event table.
inline EventRow shown(const frmSeason& f)
{
    return {f.txtEvent->text().toStdString(), f.txtDay->text().toStdString(),   f.txtMonth->text().toStdString(),
            f.txtName->text().toStdString(),  f.txtLaps->text().toStdString(),  f.cboTrack->currentText().toStdString(),
            f.optRight->isChecked() ? "2" : "1"};
}

// What a read gives, as the schedule to write again.
inline Schedule scheduleOf(const ReadResult& read)
{
    return {read.name, read.year, static_cast<int>(read.eventNames.size()), read.events};
}

}  // namespace gm::season::test
