#include "season/frm_season.h"

#include <QApplication>
#include <QSignalBlocker>
#include <cmath>

#include "common/file_names.h"
#include "common/numbers.h"
#include "platform/codec.h"
#include "platform/fs.h"
#include "season/event_rules.h"
#include "shell/recycle_file.h"
#include "ui/dialogs.h"
#include "ui/font.h"
#include "ui/geometry.h"
#include "ui/list_box.h"
#include "ui/sorted_list.h"

namespace gm::season {

namespace {

QString shown(const std::string& bytes)
{
    return platform::fromAnsi(bytes);
}

std::string bytesOf(const QLineEdit* box)
{
    // Every value is one line of the file: a pasted line break would split
    // it and make the file unreadable, so it becomes a blank.
    QString text = box->text();
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return platform::toAnsi(text);
}

std::string bytesOf(const QComboBox* combo)
{
    return platform::toAnsi(combo->currentText());
}

QString fileName(const QString& seasonName)
{
    return seasonName + QStringLiteral(".ini");
}

}  // namespace

frmSeason::frmSeason(ui::AppContext& context) : ui::Form(context)
{
    setObjectName(QStringLiteral("frmSeason"));
    setWindowTitle(QStringLiteral("Season Scheduler"));
    setSizableFixedSize(8670, 6600);

    const QFont buttonFont = ui::namedFont(QStringLiteral("Microsoft Sans Serif"), 8);
    auto button = [this, &buttonFont](ui::CommandButton*& member, const char* name, const QString& caption,
                                      const QString& tip, int left, int top, int width) {
        member = new ui::CommandButton(caption, this);
        member->setObjectName(QString::fromLatin1(name));
        member->setToolTip(tip);
        member->setAutoDefault(false);
        member->setFont(buttonFont);
        ui::placeTwips(member, left, top, width, 495);
    };
    auto textBox = [this](QLineEdit*& member, const char* name, int left, int top, int width) {
        member = new QLineEdit(this);
        member->setObjectName(QString::fromLatin1(name));
        ui::placeTwips(member, left, top, width, 285);
    };

    lstSchedule = new ui::ListBox(this);
    lstSchedule->setObjectName(QStringLiteral("lstSchedule"));
    lstSchedule->setToolTip(QStringLiteral("Select an event"));
    lstSchedule->setSelectionMode(QAbstractItemView::SingleSelection);
    ui::placeTwips(lstSchedule, 120, 120, 3135, 6300);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setToolTip(QStringLiteral("Select a season schedule"));
    ui::placeTwips(Combo1, 3360, 120, 5175, 315);

    // The frame holds the labels; the boxes lie on the window over it, lined
    // up with their labels.
    Frame2 = new QGroupBox(QStringLiteral("Event Information"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    ui::placeTwips(Frame2, 3360, 600, 5175, 5295);
    auto label = [this](QLabel*& member, const char* name, const QString& caption, int top, int width,
                        int height) {
        member = new QLabel(caption, Frame2);
        member->setObjectName(QString::fromLatin1(name));
        member->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        ui::placeTwips(member, 240, top, width, height);
    };
    label(Label1, "Label1", QStringLiteral("Season Name"), 360, 1095, 375);
    label(Label2, "Label2", QStringLiteral("Year"), 840, 975, 255);
    label(Label3, "Label3", QStringLiteral("Event No."), 1320, 1095, 255);
    label(Label4, "Label4", QStringLiteral("Date (m/d)"), 1800, 1095, 255);
    label(Label5, "Label5", QStringLiteral("Track"), 2280, 1095, 375);
    label(Label6, "Label6", QStringLiteral("Event Name"), 2760, 1095, 375);
    label(Label7, "Label7", QStringLiteral("Laps (as 100%)"), 3240, 1335, 375);

    textBox(txtSeasonName, "txtSeasonName", 4920, 960, 3495);
    txtSeasonName->setToolTip(QStringLiteral("Season name will be the name of file"));
    textBox(txtYear, "txtYear", 4920, 1440, 1695);
    textBox(txtEvent, "txtEvent", 4920, 1920, 1695);
    txtEvent->setReadOnly(true);
    textBox(txtMonth, "txtMonth", 4920, 2400, 1695);
    textBox(txtDay, "txtDay", 6720, 2400, 1695);
    cboTrack = new LockableComboBox(this);
    cboTrack->setObjectName(QStringLiteral("cboTrack"));
    ui::placeTwips(cboTrack, 4920, 2880, 3015, 315);
    textBox(txtName, "txtName", 4920, 3360, 3495);
    textBox(txtLaps, "txtLaps", 4920, 3840, 1695);

    Frame1 = new QGroupBox(QStringLiteral("Pole Position"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ui::placeTwips(Frame1, 4920, 4320, 3495, 735);
    optLeft = new QRadioButton(QStringLiteral("Left Side"), Frame1);
    optLeft->setObjectName(QStringLiteral("optLeft"));
    ui::placeTwips(optLeft, 240, 240, 1095, 375);
    optLeft->setChecked(true);
    optRight = new QRadioButton(QStringLiteral("Right Side"), Frame1);
    optRight->setObjectName(QStringLiteral("optRight"));
    ui::placeTwips(optRight, 1920, 240, 1095, 375);

    button(cmdUp, "cmdUp", QStringLiteral("Move Up"), QStringLiteral("Move this event up"), 3600, 5280, 735);
    button(cmdDown, "cmdDown", QStringLiteral("Move Down"), QStringLiteral("Move this event down"), 4320, 5280, 735);
    button(cmdNewEvent, "cmdNewEvent", QStringLiteral("New Event"), QStringLiteral("Create a new event"), 5160, 5280,
           1095);
    button(cmdEditEvent, "cmdEditEvent", QStringLiteral("Edit Event"), QStringLiteral("Edit this event"), 6240, 5280,
           1095);
    button(cmdAdd, "cmdAdd", QStringLiteral("Save Event"), QStringLiteral("Save this event"), 6240, 5280, 1095);
    button(cmdDeleteEvent, "cmdDeleteEvent", QStringLiteral("Delete Event"), QStringLiteral("Delete this event"),
           7320, 5280, 1095);
    button(cmdCencelEvent, "cmdCencelEvent", QStringLiteral("Cancel (Event)"),
           QStringLiteral("Cancel creating or editing this event"), 7320, 5280, 1095);
    // These two keep the window's own font.
    cmdAdd->setFont(font());
    cmdCencelEvent->setFont(font());

    button(cmdNew, "cmdNew", QStringLiteral("New Schedule"), QStringLiteral("Make a new season schedule"), 3600, 6000,
           1215);
    button(cmdEdit, "cmdEdit", QStringLiteral("Edit Schedule"), QStringLiteral("Edit this season schedule"), 4800,
           6000, 1215);
    button(cmdSave, "cmdSave", QStringLiteral("Save Schedule"), QString(), 4800, 6000, 1215);
    button(cmdDelete, "cmdDelete", QStringLiteral("Delete Schedule"), QStringLiteral("Delete this season schedule"),
           6000, 6000, 1215);
    button(cmdCancel, "cmdCancel", QStringLiteral("Cancel (Schedule)"),
           QStringLiteral("Cancel creating or editing this season schedule"), 6000, 6000, 1215);
    button(cmdClose, "cmdClose", QStringLiteral("Close"), QStringLiteral("Go to main screen"), 7200, 6000, 1215);

    cmdSave->hide();
    cmdCancel->hide();
    cmdAdd->hide();
    cmdCencelEvent->hide();
    for (QWidget* box : {static_cast<QWidget*>(txtSeasonName), static_cast<QWidget*>(txtYear),
                         static_cast<QWidget*>(txtEvent), static_cast<QWidget*>(txtMonth),
                         static_cast<QWidget*>(txtDay), static_cast<QWidget*>(cboTrack),
                         static_cast<QWidget*>(txtName), static_cast<QWidget*>(txtLaps)}) {
        setBackground(box, true);
    }

    const QList<QWidget*> order{lstSchedule, Combo1,  txtSeasonName, txtYear, txtEvent,       txtMonth,
                                txtDay,      cboTrack, txtName,      txtLaps, optLeft,        optRight,
                                cmdUp,       cmdDown,  cmdNewEvent,  cmdEditEvent, cmdAdd,   cmdDeleteEvent,
                                cmdCencelEvent, cmdNew, cmdEdit,     cmdSave, cmdDelete,      cmdCancel,
                                cmdClose};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }

    connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int) { Combo1_Click(); });
    connect(lstSchedule, &QListWidget::itemSelectionChanged, this, &frmSeason::lstSchedule_Click);
    connect(cmdNew, &QPushButton::clicked, this, &frmSeason::cmdNew_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmSeason::cmdEdit_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSeason::cmdCancel_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmSeason::cmdSave_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmSeason::cmdDelete_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSeason::cmdClose_Click);
    connect(cmdNewEvent, &QPushButton::clicked, this, &frmSeason::cmdNewEvent_Click);
    connect(cmdEditEvent, &QPushButton::clicked, this, &frmSeason::cmdEditEvent_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmSeason::cmdAdd_Click);
    connect(cmdCencelEvent, &QPushButton::clicked, this, &frmSeason::cmdCencelEvent_Click);
    connect(cmdDeleteEvent, &QPushButton::clicked, this, &frmSeason::cmdDeleteEvent_Click);
    connect(cmdUp, &QPushButton::clicked, this, &frmSeason::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &frmSeason::cmdDown_Click);
}

// ---- mode procedures -------------------------------------------------------

void frmSeason::setBackground(QWidget* control, bool grey)
{
    const QColor colour =
        grey ? cmdClose->palette().color(QPalette::Button) : QApplication::palette().color(QPalette::Base);
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, colour);
    if (control == cboTrack) {
        palette.setColor(QPalette::Button, colour);  // a drop-down list draws its face in this role
    }
    control->setPalette(palette);
}

void frmSeason::LockSeasonFields(bool locked)
{
    for (QLineEdit* box : {txtSeasonName, txtYear}) {
        box->setReadOnly(locked);
        setBackground(box, locked);
    }
    cmdNewEvent->setEnabled(!locked);
}

void frmSeason::LockEventFields(bool locked)
{
    for (QLineEdit* box : {txtDay, txtMonth, txtName, txtLaps}) {
        box->setReadOnly(locked);
        setBackground(box, locked);
    }
    cboTrack->setReadOnly(locked);
    setBackground(cboTrack, locked);
    optLeft->setEnabled(!locked);
    optRight->setEnabled(!locked);
}

void frmSeason::ShowEventButtons(bool show)
{
    cmdNewEvent->setVisible(show);
    cmdEditEvent->setVisible(show);
    cmdDeleteEvent->setVisible(show);
    cmdAdd->setVisible(!show);
    cmdCencelEvent->setVisible(!show);
    // The moves are off while an event is edited: after New Event the number
    // shown is that of the unused row after the schedule. When the edit ends
    // they take again the state of Edit Event, which EnableEventButtons sets
    // together with them and which keeps its state while hidden.
    const bool moves = show && cmdEditEvent->isEnabled();
    cmdUp->setEnabled(moves);
    cmdDown->setEnabled(moves);
}

void frmSeason::EnableEventButtons(bool enable)
{
    for (QPushButton* b : {cmdUp, cmdDown, cmdEditEvent, cmdDeleteEvent}) {
        b->setEnabled(enable);
    }
}

void frmSeason::ShowScheduleButtons(bool show)
{
    cmdNew->setVisible(show);
    cmdEdit->setVisible(show);
    cmdDelete->setVisible(show);
    cmdSave->setVisible(!show);
    cmdCancel->setVisible(!show);
}

void frmSeason::ClearEventFields()
{
    for (QLineEdit* box : {txtEvent, txtDay, txtMonth, txtName, txtLaps}) {
        box->clear();
    }
    cboTrack->setCurrentIndex(-1);
}

// ---- helpers ----------------------------------------------------------------

int frmSeason::selectedEvent() const
{
    const QListWidgetItem* item = lstSchedule->currentItem();
    return item != nullptr && item->isSelected() ? lstSchedule->row(item) : -1;
}

void frmSeason::clearEventSelection()
{
    const QSignalBlocker block(lstSchedule);
    lstSchedule->setCurrentRow(-1);
    lstSchedule->clearSelection();
}

void frmSeason::rebuildEventList(int count)
{
    const QSignalBlocker block(lstSchedule);
    lstSchedule->clear();
    for (int r = 0; r < count && r < kTableRows; ++r) {
        lstSchedule->addItem(shown(events_[static_cast<std::size_t>(r)][kName]));
    }
}

std::filesystem::path frmSeason::seasonPath(const QString& seasonName) const
{
    return seasonFilePath(seasonFolder_, seasonName.toStdString());
}

bool frmSeason::refuseUnholdable(const QString& what, const QString& text, const QString& advice)
{
    const QString characters = platform::unholdableCharacters(text);
    if (characters.isEmpty()) {
        return false;
    }
    const QString message = advice.isEmpty() ? platform::unholdableMessage(what, characters)
                                             : platform::unholdableMessage(what, characters, advice);
    context().dialogs->message(this, message, ui::Buttons::Ok, ui::Icon::Exclamation);
    return true;
}

// ---- loading and choosing ---------------------------------------------------

void frmSeason::Form_Load()
{
    seasonFolder_ = context().gamePath("\\series\\cup");
    tracksFolder_ = context().gamePath("\\tracks");
    if (!platform::folderExists(seasonFolder_) || !platform::folderExists(tracksFolder_)) {
        context().dialogs->message(this, QStringLiteral("The correct directory could not found."), ui::Buttons::Ok,
                                   ui::Icon::Critical);
        unload();
        return;
    }

    LockEventFields(true);
    EnableEventButtons(false);
    LockSeasonFields(true);
    ClearEventFields();

    if (cboTrack->count() == 0) {
        for (const std::string& track : listTracks(tracksFolder_)) {
            ui::insertSorted(cboTrack, QString::fromStdString(track));
        }
        cboTrack->setCurrentIndex(-1);
    }

    const std::vector<std::string> seasons = listSeasons(seasonFolder_);
    if (seasons.empty()) {
        context().dialogs->message(this, QStringLiteral("No season was found."), ui::Buttons::Ok,
                                   ui::Icon::Critical);
        unload();
        return;
    }
    {
        const QSignalBlocker block(Combo1);
        Combo1->clear();
        for (const std::string& season : seasons) {
            ui::insertSorted(Combo1, QString::fromStdString(season));
        }
        Combo1->setCurrentIndex(0);
    }
    Combo1_Click();

    if (!isVisible()) {
        showCentred();  // a reload after a save or a delete leaves it where it is
    }
}

void frmSeason::Combo1_Click()
{
    if (Combo1->currentIndex() < 0) {
        return;
    }
    const QString season = Combo1->currentText();
    ReadResult read;
    if (const std::optional<std::string> bytes = platform::readFile(seasonPath(season))) {
        read = readSchedule(*bytes);
        if (!read.valid) {
            const QString text =
                QStringLiteral("The file ") + fileName(season) + QStringLiteral(" is not a valid season schedule.");
            context().dialogs->message(this, text, ui::Buttons::Ok, ui::Icon::Critical);
        }
    } else {
        const QString text = QStringLiteral("Could not read the file ") + fileName(season) + QStringLiteral(".");
        context().dialogs->message(this, text, ui::Buttons::Ok, ui::Icon::Critical);
    }
    events_ = read.events;
    {
        const QSignalBlocker block(lstSchedule);
        lstSchedule->clear();
        for (const std::string& name : read.eventNames) {
            lstSchedule->addItem(shown(name));
        }
    }
    txtSeasonName->setText(shown(read.name));
    txtYear->setText(shown(read.year));
    ClearEventFields();
}

void frmSeason::lstSchedule_Click()
{
    const int r = selectedEvent();
    if (r < 0 || r >= kTableRows) {
        return;
    }
    const EventRow& row = events_[static_cast<std::size_t>(r)];
    txtEvent->setText(shown(row[kNumber]));
    txtDay->setText(shown(row[kDay]));
    txtMonth->setText(shown(row[kMonth]));
    txtName->setText(shown(row[kName]));
    txtLaps->setText(shown(row[kLaps]));
    // A track that is not installed finds no entry: the list is then left
    // without a selection, and Save Event asks for a track.
    cboTrack->setCurrentIndex(cboTrack->findText(shown(row[kTrack]), Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (common::leadingNumber(row[kGrid]) == 1.0) {
        optLeft->setChecked(true);
    } else {
        optRight->setChecked(true);
    }
    if (cmdNewEvent->isEnabled()) {
        EnableEventButtons(true);
    }
    if (!cmdCencelEvent->isHidden()) {
        cmdCencelEvent_Click();  // choosing another event drops the edit
    }
}

// ---- schedule commands -------------------------------------------------------

void frmSeason::cmdNew_Click()
{
    ClearEventFields();
    ShowScheduleButtons(false);
    {
        const QSignalBlocker block(lstSchedule);
        lstSchedule->clear();
    }
    txtSeasonName->clear();
    txtYear->clear();
    txtEvent->setText(QStringLiteral("1"));
    LockSeasonFields(false);
    Combo1->setEnabled(false);
    events_ = EventTable{};
}

void frmSeason::cmdEdit_Click()
{
    Combo1->setEnabled(false);
    ShowScheduleButtons(false);
    LockSeasonFields(false);
    if (selectedEvent() >= 0) {
        EnableEventButtons(true);
    }
}

void frmSeason::cmdCancel_Click()
{
    ShowScheduleButtons(true);
    EnableEventButtons(false);
    ShowEventButtons(true);
    LockEventFields(true);
    LockSeasonFields(true);
    Combo1->setEnabled(true);
    Combo1_Click();  // the season is read again from its file
}

void frmSeason::cmdSave_Click()
{
    saveSchedule();
}

bool frmSeason::saveSchedule()
{
    const QString name = txtSeasonName->text();
    if (name.isEmpty()) {
        context().dialogs->message(this, QStringLiteral("Please input a season name before you save."),
                                   ui::Buttons::Ok, ui::Icon::Exclamation);
        return false;
    }
    // Name and year go into the file as code-page text, and the name is
    // the file's name too: text the code page cannot hold is refused rather
    // than written as '?'.
    if (refuseUnholdable(QStringLiteral("The season name"), name) ||
        refuseUnholdable(QStringLiteral("The year"), txtYear->text())) {
        return false;
    }
    // The season name must not reach outside the season folder, name
    // something that is not a plain file, or be too long for a file name.
    if (const std::string refusal = common::fileNameRefusal(name.toStdString(), ".ini", "season name");
        !refusal.empty()) {
        context().dialogs->message(this, QString::fromStdString(refusal), ui::Buttons::Ok, ui::Icon::Exclamation);
        return false;
    }
    if (seasonFileExists(seasonFolder_, name.toStdString())) {
        const ui::Answer answer = context().dialogs->message(
            this, fileName(name) + QStringLiteral(" already exists.  Would you like to overwrite?"),
            ui::Buttons::OkCancel, ui::Icon::Question);
        if (answer != ui::Answer::Ok) {
            return false;
        }
    }

    Schedule schedule;
    schedule.name = platform::toAnsi(name);
    schedule.year = bytesOf(txtYear);
    schedule.eventCount = lstSchedule->count();
    schedule.events = events_;
    if (!season::saveSchedule(seasonPath(name), schedule)) {
        const QString text = QStringLiteral("Could not save the file ") + fileName(name) + QStringLiteral(".");
        context().dialogs->message(this, text, ui::Buttons::Ok, ui::Icon::Critical);
        return false;  // still editing, the schedule kept in the window
    }

    EnableEventButtons(false);
    ShowEventButtons(true);
    LockEventFields(true);
    LockSeasonFields(true);
    ShowScheduleButtons(true);
    Combo1->setEnabled(true);
    Form_Load();
    return true;
}

void frmSeason::cmdDelete_Click()
{
    const QString season = Combo1->currentText();
    const ui::Answer answer = context().dialogs->message(
        this, QStringLiteral("Are you sure you want to delte ") + season + QStringLiteral(" season?"),
        ui::Buttons::YesNo, ui::Icon::Question);
    if (answer != ui::Answer::Yes) {
        return;
    }
    if (shell::RecycleFile(seasonPath(season)) != 0) {
        context().dialogs->message(this, QStringLiteral("Could not delete the file."), ui::Buttons::Ok,
                                   ui::Icon::Critical);
        return;
    }
    Form_Load();
}

void frmSeason::cmdClose_Click()
{
    unload();
}

void frmSeason::Form_QueryUnload(bool& cancel)
{
    if (!cmdNew->isHidden()) {
        return;  // viewing: nothing unsaved
    }
    cancel = keepOpenAfterAsking(QStringLiteral("Would you like to save before you close?"),
                                 [this] { return saveSchedule(); });
}

void frmSeason::Form_Unload()
{
    if (!menuShown_) {
        menuShown_ = true;
        showMenu();
    }
}

// ---- event commands ----------------------------------------------------------

void frmSeason::cmdNewEvent_Click()
{
    clearEventSelection();
    const int count = lstSchedule->count();
    txtEvent->setText(QString::number(count + 1));
    txtDay->clear();
    txtMonth->clear();
    if (count > 0 && count <= kTableRows) {
        // One week after the last event of the list, whichever was chosen.
        const EventRow& last = events_[static_cast<std::size_t>(count - 1)];
        if (const std::optional<EventDate> date = weekAfter(last[kDay], last[kMonth])) {
            txtDay->setText(shown(date->day));
            txtMonth->setText(shown(date->month));
        }
    }
    txtName->clear();
    txtLaps->clear();
    optLeft->setChecked(true);
    cboTrack->setCurrentIndex(-1);
    LockEventFields(false);
    ShowEventButtons(false);
}

void frmSeason::cmdEditEvent_Click()
{
    LockEventFields(false);
    ShowEventButtons(false);
}

void frmSeason::cmdAdd_Click()
{
    const int count = lstSchedule->count();
    const EventFields fields{bytesOf(txtEvent), bytesOf(txtDay), bytesOf(txtMonth), bytesOf(txtLaps),
                             bytesOf(cboTrack)};
    const std::string_view refusal = checkEvent(count, fields);
    if (!refusal.empty()) {
        context().dialogs->message(this, QString::fromLatin1(refusal.data(), static_cast<qsizetype>(refusal.size())),
                                   ui::Buttons::Ok, ui::Icon::Critical);
        return;
    }
    // The name and the track folder go into the file as code-page text. A
    // track folder whose name the code page cannot hold is offered (it is
    // installed) but no schedule can name it.
    if (refuseUnholdable(QStringLiteral("The event name"), txtName->text()) ||
        refuseUnholdable(QStringLiteral("The track folder ") + cboTrack->currentText(), cboTrack->currentText(),
                         QStringLiteral("The game cannot find such a track, so it cannot be chosen for a schedule."))) {
        return;
    }
    const double number = common::leadingNumber(fields.number);
    const long row = std::lround(number - 1.0);
    if (row < 0 || row >= kTableRows) {
        return;  // the number is the program's own and always names a row
    }
    EventRow& event = events_[static_cast<std::size_t>(row)];
    event[kNumber] = fields.number;
    event[kDay] = fields.day;
    event[kMonth] = fields.month;
    event[kName] = bytesOf(txtName);
    event[kLaps] = fields.laps;
    event[kTrack] = fields.track;
    event[kGrid].assign(1, optLeft->isChecked() ? '1' : '2');
    if (number == count + 1) {
        // A new event joins the list. An edited event keeps its old entry
        // until the list is next rebuilt.
        const QSignalBlocker block(lstSchedule);
        lstSchedule->addItem(txtName->text());
    }
    ShowEventButtons(true);
    LockEventFields(true);
}

void frmSeason::cmdCencelEvent_Click()
{
    ShowEventButtons(true);
    EnableEventButtons(false);
    LockEventFields(true);
    if (selectedEvent() >= 0) {
        lstSchedule_Click();
    } else {
        ClearEventFields();
    }
}

void frmSeason::cmdDeleteEvent_Click()
{
    if (selectedEvent() < 0) {
        return;
    }
    const int count = lstSchedule->count();
    const long r = std::lround(common::leadingNumber(bytesOf(txtEvent)) - 1.0);
    if (r < 0 || r >= count) {
        return;
    }
    deleteEventRow(events_, static_cast<int>(r), count);
    {
        const QSignalBlocker block(lstSchedule);
        delete lstSchedule->takeItem(static_cast<int>(r));
    }
    clearEventSelection();
    ClearEventFields();
}

void frmSeason::cmdUp_Click()
{
    moveShownEvent(-1);
}

void frmSeason::cmdDown_Click()
{
    moveShownEvent(+1);
}

void frmSeason::moveShownEvent(int step)
{
    const std::string number = bytesOf(txtEvent);
    if (!common::isNumeric(number)) {
        return;
    }
    const double value = common::leadingNumber(number);
    const long r = std::lround(value - 1.0);
    const long target = r + step;
    const int count = lstSchedule->count();
    // Nothing moves past the first or the last event, nor from a number
    // past the schedule.
    if (r < 0 || r >= count || target < 0 || target >= count) {
        return;
    }
    swapEventRows(events_, static_cast<int>(r), static_cast<int>(target));
    rebuildEventList(count);
    txtEvent->setText(shown(common::plainDecimal(value + step)));
}

}  // namespace gm::season
