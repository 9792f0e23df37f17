#include "track/frm_track.h"

#include <QSignalBlocker>
#include <QTimer>

#include "common/numbers.h"
#include "platform/codec.h"
#include "platform/fs.h"
#include "track/track_defaults.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"
#include "ui/list_box.h"
#include "ui/sorted_list.h"

namespace gm::track {

namespace {

struct FieldLayout {
    const char* caption;
    const char* tip;
};

// The label of each box, in box (key) order. The first six boxes sit in the
// Track frame, the last six in the AI frame.
const std::array<FieldLayout, kKeyCount> kFields = {{
    {"Tire Heat", "> modifies amount of heat going into the tire at a given track"},
    {"Tire Wear", "> 1.0 means more wear, i.e. 2.0 is twice normal wear, 0.5 is half normal wear"},
    {"Tire Wear Loss", "percentage of grip lost at full tire wear"},
    {"Tire Wear Exp", "> 1.0 gives a bigger fall off later in run < 1.0 gives a bigger fall off early in run"},
    {"Asphalt Grip", "> 1.0 means more grip.  This shouldn't have to change by more than +- 0.05"},
    {"Concrete Grip", "> means more grip.  Again, keep between about 0.9 and 1.05"},
    {"Accel Modifier", "acceleration grip efficiency"},
    {"Decel Modifier", "braking grip efficiency"},
    {"Fuel Use", "> 1.0 = more fuel consumed"},
    {"Grip Modifier", "> 1.0 = more grip"},
    {"Drag Modifier", "> 1.0 = more drag, which is slower"},
    {"Qualify Modifier", "> 1.0 = faster during qualifying"},
}};

constexpr std::size_t kBoxesPerFrame = 6;

// The labels are numbered the other way round between the frames: the AI
// labels come first.
constexpr std::size_t labelOfBox(std::size_t box)
{
    return box < kBoxesPerFrame ? box + kBoxesPerFrame : box - kBoxesPerFrame;
}

constexpr int boxTop(std::size_t box)
{
    return 360 + 360 * static_cast<int>(box % kBoxesPerFrame);
}

ui::CommandButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip,
                              int left)
{
    auto* button = new ui::CommandButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    if (!tip.isEmpty()) {
        button->setToolTip(tip);
    }
    button->setAutoDefault(false);
    ui::placeTwips(button, left, 5400, 1095, 495);
    return button;
}

QString arrayName(const char* name, std::size_t index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

}  // namespace

frmTrack::frmTrack(ui::AppContext& context) : ui::Form(context)
{
    setObjectName(QStringLiteral("frmTrack"));
    setWindowTitle(QStringLiteral("Track Editor"));
    setSizableFixedSize(6255, 6015);

    List1 = new ui::ListBox(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setToolTip(QStringLiteral("Select track"));
    ui::placeTwips(List1, 120, 120, 2535, 5130);

    Frame1 = new QGroupBox(QStringLiteral("Track"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ui::placeTwips(Frame1, 2760, 120, 3375, 2535);

    Frame2 = new QGroupBox(QStringLiteral("AI (Simulation Only)"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    ui::placeTwips(Frame2, 2760, 2760, 3375, 2535);

    for (std::size_t box = 0; box < kKeyCount; ++box) {
        QGroupBox* frame = box < kBoxesPerFrame ? Frame1 : Frame2;
        const int top = boxTop(box);

        auto* text = new QLineEdit(frame);
        text->setObjectName(arrayName("Text1", box));
        ui::placeTwips(text, 1680, top, 1575, 285);
        Text1[box] = text;

        const std::size_t labelIndex = labelOfBox(box);
        auto* label = new QLabel(QString::fromLatin1(kFields[box].caption), frame);
        label->setObjectName(arrayName("Label1", labelIndex));
        label->setToolTip(QString::fromLatin1(kFields[box].tip));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // Sized to its caption, at the box's Top, 195 twips high.
        label->adjustSize();
        const QRect place = ui::twipsRect(120, top, 0, 195);
        label->setGeometry(place.x(), place.y(), label->width(), place.height());
        Label1[labelIndex] = label;

        const int index = static_cast<int>(box);
        connect(text, &QLineEdit::textChanged, this, [this, index] { Text1_Change(index); });
    }

    cmdRestore = makeButton(this, "cmdRestore", QStringLiteral("Restore Default"),
                            QStringLiteral("Restore default values for selected track"), 1800);
    cmdSave = makeButton(this, "cmdSave", QStringLiteral("Save"), QStringLiteral("Apply change"), 2880);
    cmdCancel = makeButton(this, "cmdCancel", QStringLiteral("Cancel"), QString(), 3960);
    cmdClose = makeButton(this, "cmdClose", QStringLiteral("Close"), QStringLiteral("Go to main screen"), 5040);

    Label2 = new QLabel(QStringLiteral("Point names for pop-up help."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setWordWrap(true);
    ui::placeTwips(Label2, 240, 5400, 1215, 495);

    QWidget* previous = List1;
    for (QLineEdit* text : Text1) {
        QWidget::setTabOrder(previous, text);
        previous = text;
    }
    for (QWidget* button : {static_cast<QWidget*>(cmdRestore), static_cast<QWidget*>(cmdSave),
                            static_cast<QWidget*>(cmdCancel), static_cast<QWidget*>(cmdClose)}) {
        QWidget::setTabOrder(previous, button);
        previous = button;
    }

    connect(List1, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* chosen, QListWidgetItem* left) {
        if (chosen != nullptr && mayLeaveTrack(left, chosen)) {
            List1_Click();
        }
    });
    connect(cmdSave, &QPushButton::clicked, this, &frmTrack::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTrack::cmdCancel_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &frmTrack::cmdRestore_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmTrack::cmdClose_Click);

    // Clean from the start: a window that closes itself while loading asks
    // nothing.
    SetChanged(false);
}

void frmTrack::Form_Load()
{
    ListTracks();
    if (isUnloaded()) {
        return;
    }
    SetChanged(false);
    showCentred();
}

std::filesystem::path frmTrack::tracksFolder() const
{
    return context().gamePath("\\tracks");
}

std::filesystem::path frmTrack::selectedTrackIni() const
{
    const QListWidgetItem* item = List1->currentItem();
    if (item == nullptr) {
        return {};
    }
    return trackIniPath(tracksFolder(), item->text().toStdString());
}

TrackValues frmTrack::boxValues() const
{
    TrackValues values;
    for (std::size_t box = 0; box < kKeyCount; ++box) {
        values[box] = platform::toAnsi(Text1[box]->text());
    }
    return values;
}

void frmTrack::critical(const QString& text)
{
    context().dialogs->message(this, text, ui::Buttons::Ok, ui::Icon::Critical);
}

void frmTrack::ListTracks()
{
    {
        const QSignalBlocker block(List1);
        List1->clear();
    }
    const std::filesystem::path folder = tracksFolder();
    if (!platform::folderExists(folder) || !platform::canListFolder(folder)) {
        critical(kNoTracksFolder);
        unload();
        return;
    }
    {
        const QSignalBlocker block(List1);
        for (const platform::DirEntry& entry : platform::listVisible(folder)) {
            if (entry.name == "." || entry.name == ".." || platform::sameEntryName(entry.name, "shared") ||
                !entry.isFolder) {
                continue;
            }
            ui::insertSorted(List1, QString::fromStdString(entry.name));
        }
        List1->setCurrentRow(-1);
    }
    // Selecting the first track loads it (List1_Click). An empty tracks
    // folder leaves the list and the boxes empty.
    if (List1->count() > 0) {
        List1->setCurrentRow(0);
    }
}

void frmTrack::List1_Click()
{
    const std::filesystem::path path = selectedTrackIni();
    if (path.empty()) {
        return;
    }
    const ReadResult read = readTrackIni(path);
    if (read.status == FileStatus::Missing) {
        critical(kNoTrackIni);
        return;
    }
    if (read.status != FileStatus::Ok) {
        critical(kTrackIniUnreadable);
        return;
    }
    for (QLineEdit* text : Text1) {
        text->setText(QString());
    }
    for (std::size_t box = 0; box < kKeyCount; ++box) {
        if (!read.values[box].empty()) {
            Text1[box]->setText(platform::fromAnsi(read.values[box]));
        }
    }
    SetChanged(false);
}

bool frmTrack::mayLeaveTrack(QListWidgetItem* previous, QListWidgetItem* chosen)
{
    if (previous == nullptr || !cmdSave->isEnabled()) {
        return true;
    }
    const int stay = List1->row(previous);
    switch (context().dialogs->message(this, kSaveBeforeOtherTrack, ui::Buttons::YesNoCancel, ui::Icon::Question)) {
    case ui::Answer::No:
        SetChanged(false);
        return true;
    case ui::Answer::Yes:
        // Save writes into the chosen track's file: the one the edits were
        // made on is chosen again for it.
        selectQuietly(stay);
        cmdSave_Click();
        if (!cmdSave->isEnabled()) {
            selectQuietly(List1->row(chosen));
            return true;
        }
        break;
    case ui::Answer::Ok:
    case ui::Answer::Cancel:
        selectQuietly(stay);
        break;
    }
    // A mouse click selects the entry it hit after announcing it as the
    // current one, so that entry would stay highlighted: once the click is
    // done, the track that stays is selected again.
    QTimer::singleShot(0, this, [this, stay] {
        if (List1->currentRow() == stay) {
            selectQuietly(stay);
        }
    });
    return false;
}

void frmTrack::selectQuietly(int row)
{
    const QSignalBlocker block(List1);
    List1->setCurrentRow(row);
}

void frmTrack::Text1_Change(int /*index*/)
{
    SetChanged(true);
}

void frmTrack::SetChanged(bool changed)
{
    cmdSave->setEnabled(changed);
    cmdCancel->setEnabled(changed);
}

void frmTrack::cmdSave_Click()
{
    const std::filesystem::path path = selectedTrackIni();
    if (path.empty()) {
        return;  // no track to save into
    }
    for (QLineEdit* text : Text1) {
        if (text->text().isEmpty()) {
            text->setText(QStringLiteral("0"));
        }
        // The values go into the file as code-page text: a character the
        // code page cannot hold is named rather than turned into '?'.
        if (const QString characters = platform::unholdableCharacters(text->text()); !characters.isEmpty()) {
            context().dialogs->message(this, platform::unholdableMessage(QStringLiteral("A value"), characters),
                                       ui::Buttons::Ok, ui::Icon::Exclamation);
            return;
        }
        if (!common::isNumeric(platform::toAnsi(text->text()))) {
            critical(kNotNumbers);
            return;
        }
        // A blank ends a value in the file: " 0.5" would be written as an
        // empty value and "- 5" as "-". The numeric test allows blanks only
        // around the number and after its sign, so dropping them keeps it.
        if (text->text().contains(QLatin1Char(' '))) {
            text->setText(text->text().remove(QLatin1Char(' ')));
        }
    }
    const SaveResult saved = writeTrackIni(path, boxValues());
    switch (saved.status) {
    case FileStatus::Ok:
        SetChanged(false);
        return;
    case FileStatus::Missing:
        critical(kNoTrackIni);
        return;
    case FileStatus::ReadFailed:
    case FileStatus::WriteFailed:
        // The file keeps its old content and the window its edits.
        critical(kTrackIniNotSaved);
        return;
    }
}

void frmTrack::cmdCancel_Click()
{
    List1_Click();
    SetChanged(false);
}

void frmTrack::cmdRestore_Click()
{
    const QListWidgetItem* item = List1->currentItem();
    if (item == nullptr) {
        return;
    }
    // The defaults file names its tracks in the code page; a folder whose
    // name the code page cannot hold has no record there (as '?' it could
    // only match the wrong one).
    if (!platform::unholdableCharacters(item->text()).isEmpty()) {
        return;
    }
    const DefaultsResult defaults = readDefaults(context().applicationFolder, platform::toAnsi(item->text()));
    switch (defaults.status) {
    case DefaultsStatus::Found:
        for (std::size_t box = 0; box < kKeyCount; ++box) {
            Text1[box]->setText(platform::fromAnsi(defaults.values[box]));
        }
        return;
    case DefaultsStatus::NotFound:
        return;
    case DefaultsStatus::MissingFile:
        critical(kDefaultsMissing);
        return;
    case DefaultsStatus::Incomplete:
        critical(kDefaultsIncomplete);
        return;
    }
}

void frmTrack::cmdClose_Click()
{
    unload();
}

void frmTrack::Form_QueryUnload(bool& cancel)
{
    // Clean, or no track the edits could be saved to: nothing to ask.
    if (!cmdSave->isEnabled() || List1->currentRow() < 0) {
        return;
    }
    // A save refused or failed leaves Save enabled (the window changed).
    cancel = keepOpenAfterAsking(kSaveBeforeClose, [this] {
        cmdSave_Click();
        return !cmdSave->isEnabled();
    });
}

void frmTrack::Form_Unload()
{
    showMenu();
}

}  // namespace gm::track
