// The season scheduler: lists the season files of the game, shows the
// events of the chosen season, and creates, edits, reorders, saves and
// deletes schedules.
//
// The window has three modes, and the controls are the mode: Viewing (the
// schedule buttons New, Edit and Delete visible), Editing schedule (Save
// and Cancel visible, New Event enabled) and Editing event (Save Event and
// Cancel Event visible). The mode procedures below switch between them.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <filesystem>

#include "season/lockable_combo_widget.h"
#include "season/season_file.h"
#include "ui/command_button.h"
#include "ui/form.h"

namespace gm::season {

class frmSeason : public ui::Form {
    Q_OBJECT

public:
    explicit frmSeason(ui::AppContext& context);

    void Form_Load() override;
    void Combo1_Click();
    void lstSchedule_Click();

    void cmdNew_Click();
    void cmdEdit_Click();
    void cmdCancel_Click();
    void cmdSave_Click();
    void cmdDelete_Click();
    void cmdClose_Click();

    void cmdNewEvent_Click();
    void cmdEditEvent_Click();
    void cmdAdd_Click();
    void cmdCencelEvent_Click();
    void cmdDeleteEvent_Click();
    void cmdUp_Click();
    void cmdDown_Click();

    // The event table of the schedule shown (rows 0 to 99).
    const EventTable& eventTable() const { return events_; }

    QComboBox* Combo1;
    QListWidget* lstSchedule;
    QGroupBox* Frame2;
    QLabel* Label1;  // "Season Name"
    QLabel* Label2;  // "Year"
    QLabel* Label3;  // "Event No."
    QLabel* Label4;  // "Date (m/d)"
    QLabel* Label5;  // "Track"
    QLabel* Label6;  // "Event Name"
    QLabel* Label7;  // "Laps (as 100%)"
    QLineEdit* txtSeasonName;
    QLineEdit* txtYear;
    QLineEdit* txtEvent;
    QLineEdit* txtMonth;
    QLineEdit* txtDay;
    LockableComboBox* cboTrack;
    QLineEdit* txtName;
    QLineEdit* txtLaps;
    QGroupBox* Frame1;
    QRadioButton* optLeft;
    QRadioButton* optRight;
    ui::CommandButton* cmdUp;
    ui::CommandButton* cmdDown;
    ui::CommandButton* cmdNewEvent;
    ui::CommandButton* cmdEditEvent;
    ui::CommandButton* cmdAdd;
    ui::CommandButton* cmdDeleteEvent;
    ui::CommandButton* cmdCencelEvent;
    ui::CommandButton* cmdNew;
    ui::CommandButton* cmdEdit;
    ui::CommandButton* cmdSave;
    ui::CommandButton* cmdDelete;
    ui::CommandButton* cmdCancel;
    ui::CommandButton* cmdClose;

protected:
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload() override;

private:
    // The mode procedures.
    void LockSeasonFields(bool locked);
    void LockEventFields(bool locked);
    void ShowEventButtons(bool show);
    void EnableEventButtons(bool enable);
    void ShowScheduleButtons(bool show);
    void ClearEventFields();

    // Save Schedule; true when the file was written.
    bool saveSchedule();
    // The selected entry of lstSchedule, or -1.
    int selectedEvent() const;
    void clearEventSelection();
    // Fills lstSchedule with the names of rows 0 to count - 1.
    void rebuildEventList(int count);
    // Move Up (-1) and Move Down (+1): swaps the shown event with its
    // neighbour and keeps it shown under its new number.
    void moveShownEvent(int step);
    void setBackground(QWidget* control, bool grey);
    std::filesystem::path seasonPath(const QString& seasonName) const;
    // Shows the code-page refusal (exclamation) when `text` holds characters
    // the game's files cannot store; true when it did. An empty advice
    // means the usual "Please input it without them."
    bool refuseUnholdable(const QString& what, const QString& text, const QString& advice = {});

    std::filesystem::path seasonFolder_;
    std::filesystem::path tracksFolder_;
    EventTable events_;
    bool menuShown_ = false;
};

}  // namespace gm::season
