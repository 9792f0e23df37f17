// The track editor window: lists the game's tracks and edits the twelve
// tyre, grip and AI modifiers of the selected track's track.ini.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <array>
#include <filesystem>

#include "track/track_ini.h"
#include "ui/command_button.h"
#include "ui/form.h"

namespace gm::track {

// Message texts of the window.
inline const QString kNoTracksFolder = QStringLiteral("Could not find tracks directory.");
inline const QString kNoTrackIni = QStringLiteral("Could not find track.ini");
inline const QString kTrackIniUnreadable = QStringLiteral("Could not read track.ini.");
inline const QString kTrackIniNotSaved = QStringLiteral("Could not save track.ini.");
inline const QString kNotNumbers = QStringLiteral("Please input numbers in textboxs.");
inline const QString kSaveBeforeClose = QStringLiteral("Would you like to save changes before you close?");
inline const QString kSaveBeforeOtherTrack =
    QStringLiteral("Would you like to save changes before you select another track?");
inline const QString kDefaultsMissing = QStringLiteral("The defaults file defaultTrackini.dat is missing.");
inline const QString kDefaultsIncomplete = QStringLiteral("The defaults file defaultTrackini.dat is incomplete.");

class frmTrack : public ui::Form {
    Q_OBJECT

public:
    explicit frmTrack(ui::AppContext& context);

    void Form_Load() override;
    void ListTracks();
    void List1_Click();
    void Text1_Change(int index);
    void SetChanged(bool changed);
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdRestore_Click();
    void cmdClose_Click();

    QListWidget* List1;
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    std::array<QLineEdit*, kKeyCount> Text1{};
    // Label1(0) to Label1(5) name the AI boxes, Label1(6) to Label1(11) the
    // track boxes.
    std::array<QLabel*, kKeyCount> Label1{};
    ui::CommandButton* cmdRestore;
    ui::CommandButton* cmdSave;
    ui::CommandButton* cmdCancel;
    ui::CommandButton* cmdClose;
    QLabel* Label2;

protected:
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload() override;

private:
    std::filesystem::path tracksFolder() const;
    // The selected track's track.ini; empty when no track is selected.
    std::filesystem::path selectedTrackIni() const;
    TrackValues boxValues() const;
    // Another track was chosen while the boxes hold unsaved edits: asks as
    // closing does. Yes saves into the track the edits were made on, No
    // drops them; true when the chosen track may be shown. Cancel, or a
    // save refused or failed, keeps the previous track chosen with its
    // edits, and gives false.
    bool mayLeaveTrack(QListWidgetItem* previous, QListWidgetItem* chosen);
    // Makes a row the chosen one without loading it.
    void selectQuietly(int row);
    void critical(const QString& text);
};

}  // namespace gm::track
