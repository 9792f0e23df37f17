// The directory window: the user picks the game directory; a valid choice
// is stored in the option file.
#pragma once

#include <QComboBox>
#include <QLabel>

#include "shell/folder_list_widget.h"
#include "ui/command_button.h"
#include "ui/form.h"

namespace gm::shell {

// The refusal of a folder whose path holds a double quote.
inline const QString kQuoteInPath = QStringLiteral(
    "The directory you specified cannot be used because its path contains a double quote (\"), which the "
    "option file cannot keep. Please rename the folder or choose another one.");

class frmDirectory : public ui::Form {
    Q_OBJECT

public:
    explicit frmDirectory(ui::AppContext& context);

    void Form_Load() override;
    void Drive1_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The drive list: Windows drives; elsewhere "/" first, then the drive_c
    // folders of Wine prefixes, then the mounted volumes.
    static QStringList driveList();

    QComboBox* Drive1;
    FolderListWidget* Dir1;
    ui::CommandButton* cmdOK;
    ui::CommandButton* cmdCancel;
    QLabel* Label1;

protected:
    void Form_Unload() override;
};

}  // namespace gm::shell
