// Enter presses the focused button of the menu, the About box and the
// directory window, as Space does; in the directory window only a focused
// button reacts (it has no default button).
#include <gtest/gtest.h>

#include <QPointer>

#include "platform/registry.h"
#include "shell/frm_about.h"
#include "shell/frm_directory.h"
#include "shell/frm_main.h"
#include "support/keyboard.h"
#include "support/test_app.h"

namespace gm::shell {
namespace {

using test::pressOn;
using test::TestApp;

TEST(EnterKey, PressesTheFocusedButtonOfTheMenu)
{
    TestApp app;
    frmMain menu(app.context, {});
    app.context.menuWindow = &menu;
    int quits = 0;
    menu.setQuitAction([&] { ++quits; });
    menu.show();
    EXPECT_EQ(test::buttonsDeafToEnter(menu), QStringList());

    EXPECT_TRUE(pressOn(menu.cmdQuit, Qt::Key_Return));
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(pressOn(menu.cmdQuit, Qt::Key_Space));
    EXPECT_EQ(quits, 2);
}

TEST(EnterKey, PressesTheFocusedButtonOfTheAboutBox)
{
    TestApp app;
    platform::clearFakeRegistry();
    frmAbout about(app.context);
    about.setAttribute(Qt::WA_DeleteOnClose, false);
    about.Form_Load();
    EXPECT_EQ(test::buttonsDeafToEnter(about), QStringList());

    // System Info, not OK, though OK is the default button.
    app.dialogs.expect(QStringLiteral("System Information Is Unavailable At This Time"), ui::Buttons::Ok,
                       ui::Icon::None);
    EXPECT_TRUE(pressOn(about.cmdSysInfo, Qt::Key_Return));
    app.dialogs.verifyAllShown();
    EXPECT_FALSE(about.isUnloaded());

    EXPECT_TRUE(pressOn(about.cmdOK, Qt::Key_Enter));
    EXPECT_TRUE(about.isUnloaded());
}

TEST(EnterKey, PressesTheFocusedButtonOfTheDirectoryWindow)
{
    TestApp app;
    app.makeGameDirectory();
    for (const bool ok : {false, true}) {
        QPointer<frmDirectory> window = new frmDirectory(app.context);
        window->Form_Load();
        EXPECT_EQ(test::buttonsDeafToEnter(*window), QStringList());
        ASSERT_TRUE(window->Dir1->setPath(QString::fromStdString(app.game.text())));
        // The folder list has the focus: Enter presses no button there.
        EXPECT_TRUE(pressOn(window->Dir1, Qt::Key_Return));
        EXPECT_FALSE(window->isUnloaded());

        EXPECT_TRUE(pressOn(ok ? window->cmdOK : window->cmdCancel, Qt::Key_Return));
        EXPECT_TRUE(window->isUnloaded());
        EXPECT_EQ(app.appFolder.exists("option.dat"), ok);
        delete window.data();
    }
}

}  // namespace
}  // namespace gm::shell
