#include "autoai/frm_auto_ai.h"

#include <QCompleter>
#include <QEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStringList>
#include <QValidator>
#include <algorithm>

#include "autoai/strength_chart.h"
#include "common/numbers.h"
#include "platform/codec.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"

namespace gm::autoai {

namespace {

constexpr double kHighestStrength = 110.0;
constexpr double kLowestStrength = 70.0;

// The text field of the player box takes only the names of its list: what
// begins a name may be typed on, anything else is refused, and an unfinished
// name gives way to the chosen player's name when the field is left.
class PlayerNameValidator : public QValidator {
public:
    explicit PlayerNameValidator(QComboBox* combo) : QValidator(combo), combo_(combo) {}

    State validate(QString& input, int& /*pos*/) const override
    {
        if (input.isEmpty()) {
            return Intermediate;
        }
        State state = Invalid;
        for (int i = 0; i < combo_->count(); ++i) {
            const QString name = combo_->itemText(i);
            if (name == input) {
                return Acceptable;
            }
            if (name.startsWith(input)) {
                state = Intermediate;
            }
        }
        return state;
    }

    void fixup(QString& input) const override { input = combo_->itemText(combo_->currentIndex()); }

private:
    QComboBox* combo_;
};

ui::CommandButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip,
                              int left, int top, int height)
{
    auto* button = new ui::CommandButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    if (!tip.isEmpty()) {
        button->setToolTip(tip);
    }
    button->setAutoDefault(false);
    ui::placeTwips(button, left, top, 975, height);
    return button;
}

// A box that shows a value: the grey face of buttons, no tab stop.
QLineEdit* makeReadOnlyBox(QWidget* parent, const char* name, int top)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    box->setPalette(palette);
    ui::placeTwips(box, 6000, top, 1815, 285);
    return box;
}

// A frame with its captions at Left 120 and the given tops, each label sized
// to its caption and 195 twips high.
QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, int top, int height,
                     const std::vector<std::pair<const char*, int>>& labels, int& labelNumber)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    ui::placeTwips(frame, 2880, top, 5055, height);
    for (const auto& [text, labelTop] : labels) {
        auto* label = new QLabel(QString::fromLatin1(text), frame);
        label->setObjectName(QStringLiteral("Label%1").arg(++labelNumber));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->adjustSize();
        const QRect place = ui::twipsRect(120, labelTop, 0, 195);
        label->setGeometry(place.x(), place.y(), label->width(), place.height());
    }
    return frame;
}

struct ChartLabel {
    const char* text;
    int left, top, width, height;
    bool wraps;
};

// The eight labels of the chart panel, by element.
const std::array<ChartLabel, 8> kChartLabels = {{
    {"Road Course", 2160, 120, 1215, 195, false},
    {"Intermediate Track", 1920, 4680, 1455, 195, false},
    {"Plate Track", 120, 1080, 495, 435, true},
    {"1.5 Oval", 120, 3600, 735, 195, false},
    {"Short Track", 4560, 1080, 495, 555, true},
    {"Flat Track", 4320, 3600, 1215, 195, false},
    {"Average\r\n", 120, 4680, 1095, 195, true},
    {"AI Strength\r\n", 120, 4440, 1095, 195, true},
}};

QPointF pointOf(ChartPoint p)
{
    return {p.x, p.y};
}

// What a save tells when the records file, read again as it saves, no longer
// has a strength line for some edited tracks (the game rewrote it meanwhile):
// the tracks, one a line, and whether the other edits were saved.
QString strengthsNotSavedMessage(const QStringList& tracks, bool othersSaved)
{
    return QStringLiteral("The AI strength of these tracks was not saved, because the playrecs.ini no longer has "
                          "an AI strength line for them:\r\n\r\n") +
           tracks.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n") +
           (othersSaved ? QStringLiteral("The AI strength of the other tracks was saved.")
                        : QStringLiteral("Nothing was saved."));
}

}  // namespace

frmAutoAI::frmAutoAI(ui::AppContext& context) : ui::Form(context)
{
    setObjectName(QStringLiteral("frmAutoAI"));
    setWindowTitle(QStringLiteral("Auto AI Editor"));
    setSizableFixedSize(8055, 5895);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setToolTip(QStringLiteral("Select player name"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->completer()->setCaseSensitivity(Qt::CaseSensitive);
    Combo1->setValidator(new PlayerNameValidator(Combo1));
    ui::placeTwips(Combo1, 120, 120, 2535, 315);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setToolTip(QStringLiteral("Select track"));
    ui::placeTwips(List1, 120, 600, 2535, 5130);

    int labelNumber = 0;
    Frame1 = makeFrame(this, "Frame1", QStringLiteral("Arcade Mode"), 120, 1455,
                       {{"Best Lap Time", 360}, {"Best Qualify Time", 720}, {"Best Lap Time in Race", 1080}},
                       labelNumber);
    Frame2 = makeFrame(this, "Frame2", QStringLiteral("Simulatoin Mode"), 1680, 1455,
                       {{"Best Lap Time", 360}, {"Best Qualify Time", 720}, {"Best Lap Time in Race", 1080}},
                       labelNumber);
    Frame4 = makeFrame(this, "Frame4", QStringLiteral("AI Strength"), 3240, 1815,
                       {{"Highest AI Strength", 360},
                        {"Lowest  AI Strength", 720},
                        {"Average  AI Strength", 1080},
                        {"Auto AI Strength  (70 - 110)", 1440}},
                       labelNumber);

    txtAI = new QLineEdit(this);
    txtAI->setObjectName(QStringLiteral("txtAI"));
    txtAI->setToolTip(QStringLiteral("Type AI strength"));
    ui::placeTwips(txtAI, 6000, 4680, 1815, 285);
    txtAI->installEventFilter(this);

    cmdApply = makeButton(this, "cmdApply", QStringLiteral("Apply"),
                          QStringLiteral("Apply AI strength change to the selected track"), 3120, 5280, 495);
    cmdApplyAll = makeButton(this, "cmdApplyAll", QStringLiteral("Apply to All"),
                             QStringLiteral("Apply AI strength change to all tracks"), 4080, 5280, 495);
    cmdSave = makeButton(this, "cmdSave", QStringLiteral("Save"), QStringLiteral("Save changes"), 5040, 5280, 495);
    cmdChart = makeButton(this, "cmdChart", QStringLiteral("AI Strength Chart"), QString(), 6000, 5280, 495);
    cmdClose = makeButton(this, "cmdClose", QStringLiteral("Close"), QStringLiteral("Go to main screen"), 6960,
                          5280, 495);

    txtAP = makeReadOnlyBox(this, "txtAP", 480);
    txtAQ = makeReadOnlyBox(this, "txtAQ", 840);
    txtAR = makeReadOnlyBox(this, "txtAR", 1200);
    txtSP = makeReadOnlyBox(this, "txtSP", 2040);
    txtSQ = makeReadOnlyBox(this, "txtSQ", 2400);
    txtSR = makeReadOnlyBox(this, "txtSR", 2760);
    txtMax = makeReadOnlyBox(this, "txtMax", 3600);
    txtMin = makeReadOnlyBox(this, "txtMin", 3960);
    txtAvg = makeReadOnlyBox(this, "txtAvg", 4320);

    // The chart panel lies over the frames and boxes of the right half.
    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    ui::placeTwips(Picture1, 2760, 120, kPanelWidth, kPanelHeight);
    cmdHide = makeButton(Picture1, "cmdHide", QStringLiteral("Hide"), QString(), 4200, 4680, 375);
    for (std::size_t i = 0; i < Text1.size(); ++i) {
        const ChartLabel& place = kChartLabels[i];
        auto* label = new QLabel(QString::fromLatin1(place.text), Picture1);
        label->setObjectName(QStringLiteral("Text1(%1)").arg(i));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(place.wraps);
        label->setAutoFillBackground(true);
        label->setBackgroundRole(QPalette::Button);
        ui::placeTwips(label, place.left, place.top, place.width, place.height);
        Text1[i] = label;
    }
    // The legends: red for the strength polygon, blue for the average.
    const std::pair<std::size_t, QColor> legends[] = {{7, QColor(255, 0, 0)}, {6, QColor(0, 0, 255)}};
    for (const auto& [element, colour] : legends) {
        QPalette palette = Text1[element]->palette();
        // On the button face a label writes in the button text colour.
        palette.setColor(Text1[element]->foregroundRole(), colour);
        Text1[element]->setPalette(palette);
    }
    Text1[6]->setToolTip(QStringLiteral("Bigger the average polygon, more consistent at any type of tracks "));
    Picture1->raise();

    QWidget* previous = Combo1;
    for (QWidget* next : std::initializer_list<QWidget*>{List1, txtAI, cmdApply, cmdApplyAll, cmdSave, cmdChart,
                                                          cmdClose, txtAP, txtAQ, txtAR, txtSP, txtSQ, txtSR,
                                                          txtMax, txtMin, txtAvg, Picture1, cmdHide}) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }

    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    // Leaving the text field on a whole name chooses that player.
    connect(Combo1->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        const int index = Combo1->findText(Combo1->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0 && index != Combo1->currentIndex()) {
            {
                const QSignalBlocker block(Combo1);
                Combo1->setCurrentIndex(index);
            }
            Combo1_Click();
        }
    });
    connect(List1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            List1_Click();
        }
    });
    connect(txtAI, &QLineEdit::textEdited, this, &frmAutoAI::txtAI_Change);
    connect(cmdApply, &QPushButton::clicked, this, &frmAutoAI::cmdApply_Click);
    connect(cmdApplyAll, &QPushButton::clicked, this, &frmAutoAI::cmdApplyAll_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmAutoAI::cmdSave_Click);
    connect(cmdChart, &QPushButton::clicked, this, &frmAutoAI::cmdChart_Click);
    connect(cmdHide, &QPushButton::clicked, this, &frmAutoAI::cmdHide_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmAutoAI::cmdClose_Click);

    // Nothing loaded yet: nothing to apply, save or draw, and no chart.
    cmdSave->setEnabled(false);
    setApplyEnabled(false);
    cmdChart->setEnabled(false);
    ShowChart(false);
}

frmAutoAI::~frmAutoAI()
{
    // Hiding the window on its way out takes the focus from the player
    // field, which would finish its editing on a window already half gone.
    for (QObject* control : std::initializer_list<QObject*>{Combo1, Combo1->lineEdit(), List1}) {
        QObject::disconnect(control, nullptr, this, nullptr);
    }
}

void frmAutoAI::critical(const QString& text)
{
    context().dialogs->message(this, text, ui::Buttons::Ok, ui::Icon::Critical);
}

void frmAutoAI::setApplyEnabled(bool enabled)
{
    cmdApply->setEnabled(enabled);
    cmdApplyAll->setEnabled(enabled);
}

void frmAutoAI::Form_Load()
{
    cmdSave->setEnabled(false);
    playersFolder_ = playersFolder(context().gameDirectory);
    const PlayerList players = ListPlayers(playersFolder_);
    if (!players.folderFound) {
        critical(kNoPlayersFolder);
        unload();
        return;
    }
    {
        const QSignalBlocker block(Combo1);
        Combo1->clear();
        for (const std::string& name : players.names) {
            Combo1->addItem(QString::fromStdString(name));
        }
    }
    // Selecting the first player loads it. With no player the window opens
    // empty, with nothing to apply, save or draw.
    if (Combo1->count() > 0) {
        {
            const QSignalBlocker block(Combo1);
            Combo1->setCurrentIndex(0);
        }
        Combo1_Click();
    }
    showCentred();
}

void frmAutoAI::showLoadedPlayerInCombo()
{
    const QSignalBlocker block(Combo1);
    const int index =
        Combo1->findText(QString::fromStdString(loadedPlayer_), Qt::MatchExactly | Qt::MatchCaseSensitive);
    Combo1->setCurrentIndex(index);
    if (index < 0) {
        Combo1->setEditText(QString());
    }
}

void frmAutoAI::Combo1_Click()
{
    if (Combo1->currentIndex() < 0) {
        return;
    }
    if (cmdSave->isEnabled()) {
        switch (context().dialogs->message(this, kSaveBeforeOtherPlayer, ui::Buttons::YesNoCancel,
                                           ui::Icon::Question)) {
        case ui::Answer::Yes:
            if (!saveRecords()) {
                // The edits stay, and so does their player.
                showLoadedPlayerInCombo();
                return;
            }
            break;
        case ui::Answer::No:
            cmdSave->setEnabled(false);
            break;
        case ui::Answer::Ok:
        case ui::Answer::Cancel:
            showLoadedPlayerInCombo();
            return;
        }
    }
    choosePlayer(Combo1->itemText(Combo1->currentIndex()).toStdString());
}

void frmAutoAI::choosePlayer(const std::string& player)
{
    ShowChart(false);
    {
        const QSignalBlocker block(List1);
        List1->clear();
    }
    const RecordsStatus status = LoadRecords(playersFolder_, player, records_);
    if (status == RecordsStatus::Ok) {
        loadedPlayer_ = player;
        edited_.assign(records_.TrackTable.size(), false);
        {
            const QSignalBlocker block(List1);
            for (const std::string& section : records_.Sections) {
                List1->addItem(platform::fromAnsi(section));
            }
        }
        if (List1->count() > 0) {
            List1->setCurrentRow(0);
        } else {
            for (QLineEdit* box : {txtAP, txtAQ, txtAR, txtSP, txtSQ, txtSR, txtAI}) {
                box->clear();
            }
        }
        ShowStrengthStats();
        setApplyEnabled(false);
        cmdChart->setEnabled(true);
        return;
    }
    // No records to show: nothing of an earlier player stays to be saved.
    critical(status == RecordsStatus::Missing ? kNoRecordsFile : kRecordsUnreadable);
    records_ = PlayerRecords{};
    edited_.clear();
    loadedPlayer_.clear();
    for (QLineEdit* box : {txtAP, txtAQ, txtAR, txtSP, txtSQ, txtSR, txtMax, txtMin, txtAvg, txtAI}) {
        box->clear();
    }
    cmdChart->setEnabled(false);
    setApplyEnabled(false);
}

void frmAutoAI::List1_Click()
{
    const int row = List1->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= records_.TrackTable.size()) {
        return;
    }
    const TrackRow& values = records_.TrackTable[static_cast<std::size_t>(row)];
    const std::array<QLineEdit*, 6> laps = {txtAP, txtAQ, txtAR, txtSP, txtSQ, txtSR};
    for (std::size_t i = 0; i < laps.size(); ++i) {
        laps[i]->setText(QString::fromStdString(common::format000(common::leadingNumber(values[i + 1]))));
    }
    txtAI->setText(platform::fromAnsi(values[0]));
    setApplyEnabled(false);
}

void frmAutoAI::txtAI_Click()
{
    // Without a listed track there is nothing to apply a strength to.
    if (List1->currentRow() >= 0) {
        setApplyEnabled(true);
    }
}

void frmAutoAI::txtAI_Change()
{
    // Typing a strength makes it ready to apply, as a click into the box
    // does, so that Apply can be reached with Tab and pressed from the
    // keyboard.
    txtAI_Click();
}

bool frmAutoAI::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtAI && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        txtAI_Click();
    }
    return ui::Form::eventFilter(watched, event);
}

void frmAutoAI::cmdApply_Click()
{
    const int row = List1->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= records_.TrackTable.size()) {
        return;
    }
    const std::string typed = platform::toAnsi(txtAI->text());
    if (!common::isNumeric(typed)) {
        critical(kApplyNotNumber);
        return;
    }
    double value = common::leadingNumber(typed);
    if (value > kHighestStrength) {
        value = kHighestStrength;
    } else if (value < kLowestStrength) {
        value = kLowestStrength;
    }
    txtAI->setText(QString::fromStdString(common::format000000(value)));
    setApplyEnabled(false);
    records_.TrackTable[static_cast<std::size_t>(row)][0] = platform::toAnsi(txtAI->text());
    edited_[static_cast<std::size_t>(row)] = true;
    cmdSave->setEnabled(true);
    ShowStrengthStats();
}

void frmAutoAI::cmdApplyAll_Click()
{
    if (List1->count() == 0) {
        return;
    }
    const std::string typed = platform::toAnsi(txtAI->text());
    if (!common::isNumeric(typed)) {
        critical(kApplyAllNotNumber);
        return;
    }
    // A value out of range is stored as the bound; one in range as typed.
    double value = common::leadingNumber(typed);
    std::string stored = typed;
    if (value > kHighestStrength) {
        value = kHighestStrength;
        stored = "110";
    } else if (value < kLowestStrength) {
        value = kLowestStrength;
        stored = "70";
    }
    for (TrackRow& row : records_.TrackTable) {
        row[0] = stored;
    }
    std::fill(edited_.begin(), edited_.end(), true);
    txtAI->setText(QString::fromStdString(common::format000000(value)));
    setApplyEnabled(false);
    cmdSave->setEnabled(true);
    ShowStrengthStats();
}

void frmAutoAI::ShowStrengthStats()
{
    const std::size_t count = std::min(static_cast<std::size_t>(List1->count()), records_.TrackTable.size());
    if (count == 0) {
        // No track: no highest, lowest or average to show.
        for (QLineEdit* box : {txtMax, txtMin, txtAvg}) {
            box->clear();
        }
        return;
    }
    double highest = 0.0;
    double lowest = 999.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = common::leadingNumber(records_.TrackTable[i][0]);
        if (v > highest) {
            highest = v;
        }
        if (v < lowest) {
            lowest = v;
        }
        sum += v;
    }
    txtMax->setText(QString::fromStdString(common::format000000(highest)));
    txtMin->setText(QString::fromStdString(common::format000000(lowest)));
    txtAvg->setText(QString::fromStdString(common::format000000(sum / static_cast<double>(count))));
}

bool frmAutoAI::saveRecords()
{
    if (loadedPlayer_.empty()) {
        return false;
    }
    const SaveOutcome saved = SaveRecords(playersFolder_, loadedPlayer_, strengthEdits(records_, edited_));
    if (saved.status != RecordsStatus::Ok) {
        critical(kRecordsNotSaved);
        return false;
    }
    // Edits whose track the file no longer has cannot be saved later either:
    // the user hears which, and the window counts as saved.
    cmdSave->setEnabled(false);
    if (!saved.missing.empty()) {
        QStringList tracks;
        for (const std::string& section : saved.missing) {
            tracks << platform::fromAnsi(section);
        }
        context().dialogs->message(this, strengthsNotSavedMessage(tracks, saved.written), ui::Buttons::Ok,
                                   ui::Icon::Exclamation);
    }
    return true;
}

void frmAutoAI::cmdSave_Click()
{
    if (!saveRecords()) {
        return;
    }
    // Read back what was written, for the player it was written for.
    showLoadedPlayerInCombo();
    choosePlayer(std::string(loadedPlayer_));
}

void frmAutoAI::ShowChart(bool visible)
{
    Picture1->setVisible(visible);
    cmdHide->setVisible(visible);
    for (QLabel* label : Text1) {
        label->setVisible(visible);
    }
}

void frmAutoAI::cmdChart_Click()
{
    ShowChart(true);
    Picture1->Cls();
    const ChartDrawing drawing =
        chartDrawing(platform::toAnsi(txtMax->text()), platform::toAnsi(txtMin->text()),
                     platform::toAnsi(txtAvg->text()), records_.GroupSums, kPanelWidth, kPanelHeight);

    Picture1->setForeColor(QColor(192, 192, 192));
    const QPointF centre = pointOf(drawing.centre);
    for (const float radius : drawing.circleRadii) {
        Picture1->Circle(centre, radius);
    }
    for (const ChartLine& axis : drawing.axes) {
        Picture1->Line(pointOf(axis.from), pointOf(axis.to));
    }
    for (std::size_t k = 0; k < kGroupCount; ++k) {
        Text1[static_cast<std::size_t>(kGroupLabels[k])]->setToolTip(platform::fromAnsi(drawing.tooltips[k]));
    }
    const auto drawFigure = [this](const Figure& figure, const QColor& colour) {
        Picture1->setForeColor(colour);
        Picture1->PSet(pointOf(figure[0]));
        for (std::size_t i = 1; i < figure.size(); ++i) {
            Picture1->LineTo(pointOf(figure[i]));
        }
    };
    drawFigure(drawing.hexagon, QColor(0, 0, 255));
    drawFigure(drawing.polygon, QColor(255, 0, 0));
}

void frmAutoAI::cmdHide_Click()
{
    ShowChart(false);
}

void frmAutoAI::cmdClose_Click()
{
    unload();
}

void frmAutoAI::Form_QueryUnload(bool& cancel)
{
    if (!cmdSave->isEnabled()) {
        return;
    }
    cancel = keepOpenAfterAsking(kSaveBeforeClose, [this] { return saveRecords(); });
}

void frmAutoAI::Form_Unload()
{
    showMenu();
}

}  // namespace gm::autoai
