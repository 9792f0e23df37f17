// The About box: name, version, maker, and a way to the system information tool.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/registry.h"
#include "ui/command_button.h"
#include "ui/form.h"

namespace gm::shell {

// Reads one registry value as text. A string value gives its text (a
// terminating zero dropped), a 32-bit number its decimal text; a value of any
// other type leaves `value` as it was passed in. False (and `value` empty)
// when the key or the value cannot be read.
bool GetKeyValue(platform::RegistryRoot root, const std::string& keyName, const std::string& valueName,
                 std::string& value);

class frmAbout : public ui::Form {
    Q_OBJECT

public:
    explicit frmAbout(ui::AppContext& context);

    void Form_Load() override;
    void cmdOK_Click();
    void cmdSysInfo_Click();
    // Finds the system information tool through the registry and starts it.
    void StartSysInfo();

    QLabel* Picture1;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* Label6;
    QLabel* Label1;
    QLabel* Label5;
    QLabel* Label2;
    QPlainTextEdit* Text2;
    QLabel* Label8;
    QLineEdit* Text1;
    QLabel* Label3;
    QFrame* Line1;
    QLabel* lblDisclaimer;
    ui::CommandButton* cmdOK;
    ui::CommandButton* cmdSysInfo;

protected:
    void Form_Unload() override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace gm::shell
