// With a data folder set (the program's folder cannot be written), the
// option file is written to and read from there, never beside the program.
#include <gtest/gtest.h>

#include <QPointer>

#include "shell/frm_directory.h"
#include "shell/frm_main.h"
#include "support/test_app.h"

namespace gm::shell {
namespace {

TEST(OptionFileFolder, TheDirectoryWindowStoresAndTheMenuReadsInTheDataFolder)
{
    test::TempDir data;
    test::TestApp app;
    app.makeGameDirectory();
    app.context.dataFolder = data.path();
    app.appFolder.write("option.dat", "\"/somewhere/else\"\r\n");  // not consulted

    QPointer<frmDirectory> directory = new frmDirectory(app.context);
    directory->Form_Load();
    ASSERT_TRUE(directory->Dir1->setPath(QString::fromStdString(app.game.text())));
    directory->cmdOK_Click();
    delete directory.data();
    EXPECT_EQ(data.read("option.dat"), "\"" + app.game.text() + "\"\r\n");
    EXPECT_EQ(app.appFolder.read("option.dat"), "\"/somewhere/else\"\r\n");

    app.context.gameDirectory.clear();
    frmMain menu(app.context, {});
    app.context.menuWindow = &menu;
    menu.Form_Load();  // no dialog scripted: a first start would fail the test
    EXPECT_FALSE(menu.programEnded());
    EXPECT_EQ(app.context.gameDirectory, app.game.text());
}

}  // namespace
}  // namespace gm::shell
