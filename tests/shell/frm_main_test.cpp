#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

#include "platform/paths.h"
#include "shell/frm_about.h"
#include "shell/frm_directory.h"
#include "shell/frm_main.h"
#include "shell_test_support.h"
#include "support/layout_check.h"
#include "support/test_app.h"
#include "ui/geometry.h"

namespace gm::shell {
namespace {

using test::TestApp;
using ui::Answer;
using ui::Buttons;
using ui::Icon;

const QString kAgreement = QStringLiteral(
    "SOFTWARE USER AGREEMENT\r\n\r\n"
    "Tarvel will not be responsible for any damage to anything this software may cause\r\n"
    "either by user misuse or other-wise normal use.\r\n\r\n"
    "I have read and understand the information above, and wish to use software.");
const QString kSpecify =
    QStringLiteral("You have to specify the Gridmark directory in order to use Gridmark Editor.");

// A menu wired to the test app as main() wires the real one.
struct Menu {
    explicit Menu(TestApp& app, ToolWindows tools = {}) : window(app.context, std::move(tools))
    {
        app.context.menuWindow = &window;
        app.context.showMenu = [this, &app] {
            ++app.menuShows;
            window.show();
        };
        app.context.setMenuEnabled = [this, &app](bool enabled) {
            app.menuEnabled = enabled;
            window.setEnabled(enabled);
        };
        window.setQuitAction([this] { ++quits; });
    }
    ~Menu()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<ui::Form*>(w); form != nullptr && form != &window) {
                delete form;
            }
        }
    }
    frmMain window;
    int quits = 0;
};

// A first start answered Yes: the information message, then the directory
// window that start-up opened (null when there is none).
frmDirectory* acceptAgreement(TestApp& app, Menu& menu)
{
    app.dialogs.expect(kAgreement, Buttons::YesNo, Icon::None, Answer::Yes);
    app.dialogs.expect(kSpecify, Buttons::Ok, Icon::Information);
    menu.window.Form_Load();
    return test::findLoaded<frmDirectory>();
}

TEST(FirstStart, DecliningTheAgreementEndsTheProgram)
{
    // No option file, or one without a value.
    for (const bool emptyFile : {false, true}) {
        TestApp app;
        if (emptyFile) {
            app.appFolder.write("option.dat", "\r\n");
        }
        Menu menu(app);
        app.dialogs.expect(kAgreement, Buttons::YesNo, Icon::None, Answer::No);
        menu.window.Form_Load();
        EXPECT_TRUE(menu.window.programEnded());
        EXPECT_EQ(app.appFolder.exists("option.dat"), emptyFile);
        EXPECT_EQ(test::findLoaded<frmDirectory>(), nullptr);
    }
}

TEST(FirstStart, AcceptingThenCancellingLeavesTheDefaultAndAsksAgainNextTime)
{
    TestApp app;
    {
        Menu menu(app);
        frmDirectory* directory = acceptAgreement(app, menu);
        EXPECT_FALSE(menu.window.programEnded());
        EXPECT_EQ(app.context.gameDirectory, platform::defaultGameDirectory());
        EXPECT_TRUE(app.context.gameDirectory.ends_with("/.wine/drive_c/Quillon/Gridmark/"));
        ASSERT_NE(directory, nullptr);
        EXPECT_TRUE(directory->isVisible());
        directory->cmdCancel_Click();
        EXPECT_TRUE(directory->isUnloaded());
        EXPECT_TRUE(menu.window.isVisible());
        EXPECT_TRUE(menu.window.isEnabled());
        EXPECT_EQ(app.context.gameDirectory, platform::defaultGameDirectory());
        EXPECT_FALSE(app.appFolder.exists("option.dat"));
    }
    // Next start: the agreement again.
    Menu again(app);
    app.dialogs.expect(kAgreement, Buttons::YesNo, Icon::None, Answer::No);
    again.window.Form_Load();
    EXPECT_TRUE(again.window.programEnded());
}

TEST(FirstStart, AValidChoiceIsStoredAndTheNextStartAsksNothing)
{
    TestApp app;
    app.makeGameDirectory();
    {
        Menu menu(app);
        frmDirectory* directory = acceptAgreement(app, menu);
        ASSERT_NE(directory, nullptr);
        ASSERT_TRUE(directory->Dir1->setPath(QString::fromStdString(app.game.text())));
        directory->cmdOK_Click();
        EXPECT_TRUE(directory->isUnloaded());
        EXPECT_EQ(app.context.gameDirectory, app.game.text());
        EXPECT_EQ(app.appFolder.read("option.dat"), "\"" + app.game.text() + "\"\r\n");
    }
    TestApp next;
    next.context.applicationFolder = app.appFolder.path();
    next.context.gameDirectory.clear();
    Menu menu(next);
    menu.window.Form_Load();  // no dialog is scripted: any dialog fails the test
    EXPECT_FALSE(menu.window.programEnded());
    EXPECT_EQ(next.context.gameDirectory, app.game.text());
}

TEST(MainMenu, StoredDirectoryIsReadWithoutCheckingIt)
{
    TestApp app;
    app.appFolder.write("option.dat", "\"/no/such/game\"\r\n");
    Menu menu(app);
    menu.window.Form_Load();
    EXPECT_EQ(app.context.gameDirectory, "/no/such/game");
}

TEST(MainMenu, OpensToolsAndComesBackWhenTheyClose)
{
    TestApp app;
    QPointer<test::FakeTool> opened;
    ToolWindows tools;
    tools.track = [&](ui::AppContext& ctx) -> ui::Form* { return opened = new test::FakeTool(ctx, false); };
    tools.season = [&](ui::AppContext& ctx) -> ui::Form* { return new test::FakeTool(ctx, true); };
    tools.autoAI = [&](ui::AppContext&) -> ui::Form* { throw std::runtime_error("cannot open"); };
    Menu menu(app, tools);
    menu.window.show();

    // Buttons of tools that are not part of the build stay disabled.
    EXPECT_TRUE(menu.window.cmdTrack->isEnabled());
    EXPECT_TRUE(menu.window.cmdSeason->isEnabled());
    EXPECT_FALSE(menu.window.cmdBackup->isEnabled());
    EXPECT_FALSE(menu.window.cmdRestore->isEnabled());
    EXPECT_TRUE(menu.window.cmdDirectory->isEnabled());

    QTest::mouseClick(menu.window.cmdTrack, Qt::LeftButton);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_FALSE(menu.window.isVisible());
    opened->unload();
    EXPECT_TRUE(menu.window.isVisible());
    EXPECT_EQ(app.menuShows, 1);

    // A window that closes itself while loading leaves the menu on screen.
    menu.window.cmdSeason_Click();
    EXPECT_TRUE(menu.window.isVisible());
    // So does a window that fails to open, behind a guarded button.
    menu.window.cmdAutoAI_Click();
    EXPECT_TRUE(menu.window.isVisible());

    menu.window.cmdDirectory_Click();
    frmDirectory* directory = test::findLoaded<frmDirectory>();
    ASSERT_NE(directory, nullptr);
    EXPECT_FALSE(menu.window.isVisible());
    directory->close();  // the close box
    EXPECT_TRUE(menu.window.isVisible());
}

TEST(MainMenu, AboutBoxDisablesTheMenuUntilItCloses)
{
    TestApp app;
    Menu menu(app);
    menu.window.show();
    // Escape closes it, and Enter as well.
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        QTest::mouseClick(menu.window.cmdAbout, Qt::LeftButton);
        frmAbout* about = test::findLoaded<frmAbout>();
        ASSERT_NE(about, nullptr);
        EXPECT_TRUE(menu.window.isVisible());
        EXPECT_FALSE(menu.window.isEnabled());

        // A click on a menu button does nothing while the About box is open.
        QTest::mouseClick(menu.window.cmdDirectory, Qt::LeftButton);
        EXPECT_EQ(test::findLoaded<frmDirectory>(), nullptr);

        QTest::keyClick(about, key);
        EXPECT_TRUE(about->isUnloaded());
        EXPECT_TRUE(menu.window.isEnabled());
    }
    menu.window.cmdDirectory_Click();
    EXPECT_NE(test::findLoaded<frmDirectory>(), nullptr);
}

TEST(MainMenu, AWindowStillLoadedIsBroughtBackNotOpenedTwiceAndQuitEnds)
{
    TestApp app;
    Menu menu(app);
    menu.window.show();
    menu.window.cmdDirectory_Click();
    frmDirectory* first = test::findLoaded<frmDirectory>();
    ASSERT_NE(first, nullptr);

    // At a first start the menu stays on screen beside the directory
    // window: pressing its button again brings that same window back.
    menu.window.show();
    menu.window.cmdDirectory_Click();
    int loaded = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<frmDirectory*>(w); d != nullptr && !d->isUnloaded()) {
            ++loaded;
        }
    }
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(test::findLoaded<frmDirectory>(), first);
    EXPECT_FALSE(menu.window.isVisible());

    // Its close box does not end the program while another window is
    // loaded: the menu goes away until that window brings it back.
    menu.window.show();
    menu.window.close();
    EXPECT_EQ(menu.quits, 0);
    EXPECT_FALSE(menu.window.isVisible());
    first->cmdCancel_Click();
    EXPECT_TRUE(menu.window.isVisible());
    menu.window.close();
    EXPECT_EQ(menu.quits, 1);

    // Once unloaded, the button opens a new window.
    menu.window.cmdDirectory_Click();
    EXPECT_NE(test::findLoaded<frmDirectory>(), nullptr);

    // Quit ends the program whatever is loaded.
    menu.window.show();
    QTest::mouseClick(menu.window.cmdQuit, Qt::LeftButton);
    EXPECT_EQ(menu.quits, 2);
}

TEST(MainMenu, Layout)
{
    TestApp app;
    Menu menu(app);
    frmMain& w = menu.window;
    EXPECT_EQ(w.windowTitle(), "Gridmark Editor");
    w.show();
    EXPECT_TRUE(test::keepsDesignSize(w, ui::twipsSize(7575, 5295)));
    w.showMinimized();
    test::processEvents();
    EXPECT_TRUE(w.windowState() & Qt::WindowMinimized);
    struct Row {
        QWidget* control;
        const char* name;
        const char* caption;
        const char* tip;
        QRect rect;
    };
    const Row rows[] = {
        {w.cmdSeason, "cmdSeason", "Season Scheduler", "Create, edit, or delete season schedules", ui::twipsRect(6240, 120, 1215, 495)},
        {w.cmdAutoAI, "cmdAutoAI", "Auto AI Editor", "Change auto AI strength", ui::twipsRect(6240, 600, 1215, 495)},
        {w.cmdTrack, "cmdTrack", "Track Editor", "Change track attributes, and AI performance", ui::twipsRect(6240, 1080, 1215, 495)},
        {w.cmdBackup, "cmdBackup", "Backup Utility", "Backup or restore  your game files", ui::twipsRect(6240, 1560, 1215, 495)},
        {w.cmdRestore, "cmdRestore", "Restore Utility", "Backup or restore  your game files", ui::twipsRect(6240, 2040, 1215, 495)},
        {w.cmdDirectory, "cmdDirectory", "Set Gridmark  Directory", "", ui::twipsRect(6240, 2520, 1215, 495)},
        {w.Picture1, "Picture1", nullptr, "", ui::twipsRect(120, 120, 6015, 5055)},
        {w.cmdAbout, "cmdAbout", "About", "", ui::twipsRect(6240, 4200, 1215, 495)},
        {w.cmdQuit, "cmdQuit", "Quit", "", ui::twipsRect(6240, 4680, 1215, 495)},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.control->objectName(), row.name);
        EXPECT_EQ(row.control->toolTip(), row.tip);
        EXPECT_EQ(row.control->geometry(), row.rect);
        if (row.caption != nullptr) {
            EXPECT_EQ(qobject_cast<QPushButton*>(row.control)->text(), row.caption);
        }
    }
    EXPECT_EQ(w.Picture1->pixmap().size(), QSize(400, 336));
    EXPECT_EQ(test::tabOrderNames(&w), (QStringList{"cmdSeason", "cmdAutoAI", "cmdTrack", "cmdBackup", "cmdRestore",
                                                     "cmdDirectory", "Picture1", "cmdAbout", "cmdQuit"}));
}

}  // namespace
}  // namespace gm::shell


