// The backup window: collects game files by category into a check list and
// saves the checked ones under a backup name as a zip archive plus an index
// file in the backup folder.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStringList>
#include <string>

#include "ui/command_button.h"
#include "ui/form.h"
#include "ui/option_controls.h"

namespace gm::backup {

// Message texts of the window.
inline const QString kTooManyFiles =
    QStringLiteral("File size exceeded. please uncheck some files or make multiple backup files.");
inline const QString kNeedBackupName = QStringLiteral("Please input a backup name.");
inline const QString kUnusableBackupName = QStringLiteral(
    "The backup name is also the name of its file. Please input a backup name without \\ / : * ? \" < > | or "
    "control characters that does not begin with a dot, is not only blanks or dots and is not a device name such "
    "as CON.");
inline const QString kLongBackupName = QStringLiteral(
    "The backup name is also the name of its file and is too long for a file name. Please input a shorter backup "
    "name.");
inline const QString kZippingTitle = QStringLiteral("Zipping backup files");
// The tag that run-time errors of a backup are shown with.
inline const QString kBackupErrorTag = QStringLiteral("Form1::cmdZip_Click");

// Shown after a backup that left out files gone or unreadable since
// Preview: the first twenty of them (as listed), and how many more.
QString leftOutText(const QStringList& files);

class frmBackup : public ui::Form {
    Q_OBJECT

public:
    explicit frmBackup(ui::AppContext& context);

    void Form_Load() override;
    void chkPlayer_Click();
    void chkCar_Click();
    void cmdSearch_Click();
    void cmdAll_Click();
    void cmdNone_Click();
    void cmdBackup_Click();
    void cmdClose_Click();

    void SetSelectionEnabled(bool enabled);

    QLineEdit* txtName;
    QListWidget* List1;
    QGroupBox* Frame1;
    ui::WrappingCheckBox* chkEI;
    ui::WrappingCheckBox* chkPlayer;
    ui::WrappingCheckBox* chkAsk;
    ui::WrappingCheckBox* chkReplay;
    ui::WrappingCheckBox* chkSeason;
    ui::WrappingCheckBox* chkRoster;
    ui::WrappingCheckBox* chkCar;
    ui::WrappingOptionButton* optManual;
    ui::WrappingOptionButton* optNumber;
    QLabel* Label1;
    ui::WrappingCheckBox* chkTrack;
    ui::CommandButton* cmdSearch;
    ui::CommandButton* cmdBackup;
    ui::CommandButton* cmdAll;
    ui::CommandButton* cmdNone;
    ui::CommandButton* cmdClose;

protected:
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload() override;

private:
    void addEntry(const std::string& relative, bool checked);
    void setAllChecked(bool checked);
    int checkedCount() const;
    void selectName();
    static QString errorText(const QString& number, const QString& description);

    bool working_ = false;
};

}  // namespace gm::backup
