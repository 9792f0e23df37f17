#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <algorithm>

#include "platform/paths.h"
#include "shell/frm_about.h"
#include "shell/frm_directory.h"
#include "shell/frm_main.h"
#include "support/control_table.h"
#include "support/keyboard.h"
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

// The loaded (not yet unloaded) top-level windows of a type.
template <typename Window>
std::vector<Window*> loaded()
{
    std::vector<Window*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window != nullptr && !window->isUnloaded()) {
            found.push_back(window);
        }
    }
    return found;
}
template <typename Window>
Window* findLoaded()
{
    const std::vector<Window*> found = loaded<Window>();
    return found.empty() ? nullptr : found.back();
}

// A tool window for the menu's openers: it either shows itself or closes
// itself while loading, and shows the menu when it unloads.
class FakeTool : public ui::Form {
public:
    FakeTool(ui::AppContext& context, bool closeWhileLoading) : ui::Form(context), closeWhileLoading_(closeWhileLoading) {}
    void Form_Load() override { closeWhileLoading_ ? void(unload()) : show(); }

protected:
    void Form_Unload() override { context().showMenu(); }

private:
    bool closeWhileLoading_;
};

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
        EXPECT_EQ(findLoaded<frmDirectory>(), nullptr);
    }
}

TEST(FirstStart, AcceptingOpensTheDirectoryWindowWhereCancelStoresNothingAndOKStoresTheChoice)
{
    TestApp app;
    app.makeGameDirectory();
    for (const bool choose : {false, true}) {
        Menu menu(app);
        app.dialogs.expect(kAgreement, Buttons::YesNo, Icon::None, Answer::Yes);
        app.dialogs.expect(kSpecify, Buttons::Ok, Icon::Information);
        menu.window.Form_Load();
        EXPECT_FALSE(menu.window.programEnded());
        frmDirectory* directory = findLoaded<frmDirectory>();
        ASSERT_NE(directory, nullptr);
        EXPECT_TRUE(directory->isVisible());
        if (!choose) {
            // Cancel: the default stays, nothing is stored, the next start
            // asks again (the loop's second round).
            directory->cmdCancel_Click();
            EXPECT_TRUE(directory->isUnloaded());
            EXPECT_TRUE(menu.window.isVisible());
            EXPECT_TRUE(menu.window.isEnabled());
            EXPECT_EQ(app.context.gameDirectory, platform::defaultGameDirectory());
            EXPECT_FALSE(app.appFolder.exists("option.dat"));
            continue;
        }
        ASSERT_TRUE(directory->Dir1->setPath(QString::fromStdString(app.game.text())));
        directory->cmdOK_Click();
        EXPECT_TRUE(directory->isUnloaded());
        EXPECT_EQ(app.context.gameDirectory, app.game.text());
        EXPECT_EQ(app.appFolder.read("option.dat"), "\"" + app.game.text() + "\"\r\n");
    }
    // The next start reads the stored folder, without checking it, and asks
    // nothing (no dialog is scripted: any dialog fails the test).
    for (const std::string& stored : {app.game.text(), std::string("/no/such/game")}) {
        app.appFolder.write("option.dat", "\"" + stored + "\"\r\n");
        TestApp next;
        next.context.applicationFolder = app.appFolder.path();
        next.context.gameDirectory.clear();
        Menu menu(next);
        menu.window.Form_Load();
        EXPECT_FALSE(menu.window.programEnded());
        EXPECT_EQ(next.context.gameDirectory, stored);
    }
}

TEST(MainMenu, OpensToolsAndComesBackWhenTheyClose)
{
    TestApp app;
    QPointer<FakeTool> opened;
    ToolWindows tools;
    tools.track = [&](ui::AppContext& ctx) -> ui::Form* { return opened = new FakeTool(ctx, false); };
    tools.season = [&](ui::AppContext& ctx) -> ui::Form* { return new FakeTool(ctx, true); };
    tools.autoAI = [&](ui::AppContext&) -> ui::Form* { throw std::runtime_error("cannot open"); };
    Menu menu(app, tools);
    menu.window.show();

    // Buttons of tools that are not part of the build stay disabled.
    for (const QWidget* button : {menu.window.cmdTrack, menu.window.cmdSeason, menu.window.cmdDirectory}) {
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    }
    EXPECT_FALSE(menu.window.cmdBackup->isEnabled());
    EXPECT_FALSE(menu.window.cmdRestore->isEnabled());

    QTest::mouseClick(menu.window.cmdTrack, Qt::LeftButton);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_FALSE(menu.window.isVisible());
    opened->unload();
    EXPECT_TRUE(menu.window.isVisible());
    EXPECT_EQ(app.menuShows, 1);

    // A window that closes itself while loading leaves the menu on screen;
    // so does one that fails to open, behind a guarded button.
    menu.window.cmdSeason_Click();
    EXPECT_TRUE(menu.window.isVisible());
    menu.window.cmdAutoAI_Click();
    EXPECT_TRUE(menu.window.isVisible());

    menu.window.cmdDirectory_Click();
    frmDirectory* directory = findLoaded<frmDirectory>();
    ASSERT_NE(directory, nullptr);
    EXPECT_FALSE(menu.window.isVisible());
    directory->close();  // the close box
    EXPECT_TRUE(menu.window.isVisible());
}

TEST(MainMenu, WaitsForTheAboutBoxBringsBackAWindowStillLoadedAndQuitEnds)
{
    TestApp app;
    Menu menu(app);
    menu.window.show();
    // The About box disables the menu until it closes: Escape closes it,
    // and Enter as well.
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        QTest::mouseClick(menu.window.cmdAbout, Qt::LeftButton);
        frmAbout* about = findLoaded<frmAbout>();
        ASSERT_NE(about, nullptr);
        EXPECT_TRUE(menu.window.isVisible());
        EXPECT_FALSE(menu.window.isEnabled());

        // A click on a menu button does nothing while the About box is open.
        QTest::mouseClick(menu.window.cmdDirectory, Qt::LeftButton);
        EXPECT_EQ(findLoaded<frmDirectory>(), nullptr);

        QTest::keyClick(about, key);
        EXPECT_TRUE(about->isUnloaded());
        EXPECT_TRUE(menu.window.isEnabled());
    }
    menu.window.cmdDirectory_Click();
    frmDirectory* first = findLoaded<frmDirectory>();
    ASSERT_NE(first, nullptr);

    // At a first start the menu stays on screen beside the directory
    // window: pressing its button again brings that same window back.
    menu.window.show();
    menu.window.cmdDirectory_Click();
    EXPECT_EQ(loaded<frmDirectory>(), std::vector<frmDirectory*>{first});
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
    EXPECT_NE(findLoaded<frmDirectory>(), nullptr);

    // Quit ends the program whatever is loaded; Enter presses the focused
    // button.
    menu.window.show();
    EXPECT_EQ(test::buttonsDeafToEnter(menu.window), QStringList());
    EXPECT_TRUE(test::pressOn(menu.window.cmdQuit, Qt::Key_Return));
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
    const char* kBackupTip = "Backup or restore  your game files";
    test::expectControls(w, {
        {"cmdSeason", "Season Scheduler", "Create, edit, or delete season schedules", 6240, 120, 1215, 495},
        {"cmdAutoAI", "Auto AI Editor", "Change auto AI strength", 6240, 600, 1215, 495},
        {"cmdTrack", "Track Editor", "Change track attributes, and AI performance", 6240, 1080, 1215, 495},
        {"cmdBackup", "Backup Utility", kBackupTip, 6240, 1560, 1215, 495},
        {"cmdRestore", "Restore Utility", kBackupTip, 6240, 2040, 1215, 495},
        {"cmdDirectory", "Set Gridmark  Directory", "", 6240, 2520, 1215, 495},
        {"Picture1", nullptr, "", 120, 120, 6015, 5055},
        {"cmdAbout", "About", "", 6240, 4200, 1215, 495},
        {"cmdQuit", "Quit", "", 6240, 4680, 1215, 495},
    });
    EXPECT_EQ(w.Picture1->pixmap().size(), QSize(400, 336));
    EXPECT_EQ(test::tabOrderNames(&w), (QStringList{"cmdSeason", "cmdAutoAI", "cmdTrack", "cmdBackup", "cmdRestore",
                                                     "cmdDirectory", "Picture1", "cmdAbout", "cmdQuit"}));
}

}  // namespace
}  // namespace gm::shell
