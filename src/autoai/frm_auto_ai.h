// The auto AI editor window: a player's tracks with their automatic AI
// strength and best lap times, the strength set for one track or all, the
// strength statistics, and the strength chart by track type.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "autoai/picture_box_widget.h"
#include "autoai/player_records.h"
#include "ui/command_button.h"
#include "ui/form.h"

namespace gm::autoai {

// Message texts of the window.
inline const QString kNoPlayersFolder = QStringLiteral("The correct directory could not found.");
inline const QString kNoRecordsFile = QStringLiteral("Could not find the playrecs.ini");
inline const QString kRecordsUnreadable = QStringLiteral("Could not read the playrecs.ini.");
inline const QString kRecordsNotSaved = QStringLiteral("Could not save the playrecs.ini.");
inline const QString kApplyNotNumber = QStringLiteral("Please input a number for AI strength.");
inline const QString kApplyAllNotNumber = QStringLiteral("Please type a number for AI strength.");
inline const QString kSaveBeforeOtherPlayer =
    QStringLiteral("Whould you like to save the change you made before you select other player?");
inline const QString kSaveBeforeClose = QStringLiteral("Whould you like to save before you close?");

class frmAutoAI : public ui::Form {
    Q_OBJECT

public:
    explicit frmAutoAI(ui::AppContext& context);
    ~frmAutoAI() override;

    void Form_Load() override;
    void Combo1_Click();
    void List1_Click();
    void txtAI_Click();
    // The user changed the strength box's text (typing, deleting, pasting;
    // not the window setting it).
    void txtAI_Change();
    void cmdApply_Click();
    void cmdApplyAll_Click();
    void cmdSave_Click();
    void cmdChart_Click();
    void cmdHide_Click();
    void cmdClose_Click();
    void ShowStrengthStats();
    void ShowChart(bool visible);

    // The player whose records are loaded; empty while none is.
    const std::string& LoadedPlayer() const { return loadedPlayer_; }
    const PlayerRecords& records() const { return records_; }

    QComboBox* Combo1;
    QListWidget* List1;
    QLineEdit* txtAI;
    ui::CommandButton* cmdApply;
    ui::CommandButton* cmdApplyAll;
    ui::CommandButton* cmdSave;
    ui::CommandButton* cmdChart;
    ui::CommandButton* cmdClose;
    QLineEdit* txtAP;
    QLineEdit* txtAQ;
    QLineEdit* txtAR;
    QLineEdit* txtSP;
    QLineEdit* txtSQ;
    QLineEdit* txtSR;
    QLineEdit* txtMax;
    QLineEdit* txtMin;
    QLineEdit* txtAvg;
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame4;
    PictureBox* Picture1;
    ui::CommandButton* cmdHide;
    std::array<QLabel*, 8> Text1{};

protected:
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Loads a player's records and shows them (hiding the chart first);
    // reports a missing or unreadable file and empties the window then.
    void choosePlayer(const std::string& player);
    // Writes the edits into LoadedPlayer's records file; on failure tells
    // the user and keeps the edits. True when saved.
    bool saveRecords();
    // Puts Combo1 back on the loaded player without choosing anything.
    void showLoadedPlayerInCombo();
    void setApplyEnabled(bool enabled);
    void critical(const QString& text);

    std::filesystem::path playersFolder_;
    std::string loadedPlayer_;
    PlayerRecords records_;
    // Per track row, whether an Apply set its strength since the load: only
    // those strengths are saved.
    std::vector<bool> edited_;
};

}  // namespace gm::autoai
