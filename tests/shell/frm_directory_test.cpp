#include <gtest/gtest.h>

#include <QDir>
#include <QTest>
#include <filesystem>
#include <vector>

#include "platform/paths.h"
#include "shell/frm_directory.h"
#include "shell/frm_main.h"
#include "shell/option_file.h"
#include "support/control_table.h"
#include "support/keyboard.h"
#include "support/layout_check.h"
#include "support/temp_dir.h"
#include "support/test_app.h"
#include "ui/geometry.h"

namespace gm::shell {
namespace {

using test::TestApp;
using ui::Buttons;
using ui::Icon;

const QString kInvalid = QStringLiteral("The directory you specified is not the valid directory for Gridmark.");

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

// A folder below another as the folder list writes it, with the system's
// separator.
QString below(const QString& folder, const QString& name)
{
    return folder + QDir::separator() + name;
}

struct DirectoryWindow {
    explicit DirectoryWindow(TestApp& app) : window(new frmDirectory(app.context)) { window->Form_Load(); }
    ~DirectoryWindow() { delete window.data(); }
    QPointer<frmDirectory> window;
};

TEST(DirectoryWindow, AcceptsAFolderWithPlayersAndSeriesAndStoresItInTheDataFolderWhenThereIsOne)
{
    // With a data folder (the program's folder cannot be written), the option
    // file goes there and a file beside the program is neither written nor read.
    for (const bool dataFolder : {false, true}) {
        TestApp app;
        test::TempDir data;
        app.makeGameDirectory();
        if (dataFolder) {
            app.context.dataFolder = data.path();
            app.appFolder.write("option.dat", "\"/somewhere/else\"\r\n");
        }
        {
            DirectoryWindow d(app);
            ASSERT_TRUE(d.window->Dir1->setPath(q(app.game.text())));
            d.window->cmdOK_Click();
            EXPECT_TRUE(d.window->isUnloaded());
        }
        EXPECT_EQ(app.menuShows, 1);
        EXPECT_EQ(app.context.gameDirectory, app.game.text());
        const std::string stored = "\"" + app.game.text() + "\"\r\n";
        EXPECT_EQ((dataFolder ? data : app.appFolder).read("option.dat"), stored);
        if (dataFolder) {
            EXPECT_EQ(app.appFolder.read("option.dat"), "\"/somewhere/else\"\r\n");
            app.context.gameDirectory.clear();
            frmMain menu(app.context, {});
            app.context.menuWindow = &menu;
            menu.Form_Load();  // no dialog scripted: a first start would fail the test
            EXPECT_EQ(app.context.gameDirectory, app.game.text());
        }
    }
}

TEST(DirectoryWindow, RefusedChoicesKeepTheWindowAndStoreNothing)
{
    struct Case {
        std::vector<const char*> folders;
        std::string open;  // below the game folder
        QString message;
        bool optionFileUnwritable;
    };
    const Case cases[] = {
        {{"players"}, "", kInvalid, false},
        {{"series"}, "", kInvalid, false},
#ifndef _WIN32
        // (Windows allows no double quote in a name: no such folder can be
        // chosen there.)
        {{"The \"Game\"/players", "The \"Game\"/series"}, "/The \"Game\"", kQuoteInPath, false},
#endif
        {{"players", "series"}, "", QStringLiteral("Could not save the Gridmark directory setting."), true},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        TestApp app;
        for (const char* folder : c.folders) {
            app.game.mkdir(folder);
        }
        if (c.optionFileUnwritable) {
            app.context.applicationFolder = app.appFolder.path() / "missing-folder";
        }
        app.context.gameDirectory = "/previous";
        DirectoryWindow d(app);
        const QString path = q(app.game.text() + c.open);
        ASSERT_TRUE(d.window->Dir1->setPath(path));
        const int rows = d.window->Dir1->count();
        app.dialogs.expect(c.message, Buttons::Ok, Icon::Critical);
        d.window->cmdOK_Click();
        EXPECT_FALSE(d.window->isUnloaded());
        EXPECT_TRUE(d.window->isVisible());
        EXPECT_EQ(d.window->Dir1->path(), path);
        EXPECT_EQ(d.window->Dir1->count(), rows);
        EXPECT_EQ(app.context.gameDirectory, "/previous");
        EXPECT_FALSE(std::filesystem::exists(app.context.applicationFolder / "option.dat"));
        EXPECT_EQ(app.menuShows, 0);
    }
    // The option file itself never takes a path with a double quote either.
    test::TempDir folder;
    EXPECT_FALSE(writeGameDirectory(folder.path(), "/The \"Game\""));
    EXPECT_FALSE(folder.exists("option.dat"));
}

TEST(DirectoryWindow, ListsVisibleSubFoldersSortedAndOnlyTheOpenFolderCountsNotTheHighlightedOne)
{
    TestApp app;
    for (const char* folder : {"beta", "Gridmark/players", "Gridmark/series", "\xc3\x89t\xc3\xa9", "Alpha", ".hidden"}) {
        app.game.mkdir(folder);
    }
    test::hidden(app.game.path() / ".hidden");
    app.game.write("a-file.txt", "x");
    DirectoryWindow d(app);
    FolderListWidget* list = d.window->Dir1;
    const QString game = q(app.game.text());
    ASSERT_TRUE(list->setPath(game));
    // The open folder's ancestors first, from the drive's root down, then the
    // open folder and its visible sub-folders, sorted (Été with the E's).
    QStringList paths;
    for (int row = 0; row < list->count(); ++row) {
        paths << FolderListWidget::entryPath(list->item(row));
    }
#ifdef _WIN32
    EXPECT_EQ(paths.value(0), q(platform::windowsDriveRoot(app.game.text())));
    EXPECT_EQ(paths.value(0).size(), 3) << "C:\\";
#else
    EXPECT_EQ(paths.value(0), QStringLiteral("/"));
#endif
    const QString gridmark = below(game, "Gridmark");
    EXPECT_EQ(paths.mid(paths.indexOf(game)), (QStringList{game, below(game, "Alpha"), below(game, "beta"),
                                                          below(game, QString::fromUtf8("\xc3\x89t\xc3\xa9")),
                                                          gridmark}));

    // One click only highlights an entry.
    QListWidgetItem* entry = list->entryFor(gridmark);
    ASSERT_NE(entry, nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(entry).center());
    EXPECT_EQ(list->currentItem(), entry);
    EXPECT_EQ(list->path(), game);
    app.dialogs.expect(kInvalid, Buttons::Ok, Icon::Critical);
    d.window->cmdOK_Click();
    EXPECT_FALSE(d.window->isUnloaded());

    // A double click opens it: it becomes the current path and lists its
    // sub-folders below it.
    entry = list->entryFor(gridmark);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(entry).center());
    EXPECT_EQ(list->path(), gridmark);
    EXPECT_NE(list->entryFor(below(gridmark, "players")), nullptr);
    EXPECT_NE(list->entryFor(below(gridmark, "series")), nullptr);
    EXPECT_EQ(list->entryFor(below(game, "Alpha")), nullptr);
    d.window->cmdOK_Click();
    EXPECT_TRUE(d.window->isUnloaded());
    EXPECT_EQ(app.context.gameDirectory, gridmark.toStdString());
}

TEST(DirectoryWindow, OpensOnDriveCAtTheStoredDirectoryOrTheDrivesFolderAndCancelStoresNothing)
{
    QString missingDrive;  // a drive that cannot be opened
#ifdef _WIN32
    // Drive C: of the system, shown as "c:" among the other drives.
    const QString driveC = QStringLiteral("c:");
    const QStringList drives = frmDirectory::driveList();
    EXPECT_TRUE(drives.contains(driveC)) << drives.join(' ').toStdString();
    for (const QString& drive : drives) {
        EXPECT_TRUE(drive.size() == 2 && drive[0].isLower() && drive[1] == ':') << drive.toStdString();
    }
    {
        // Without a stored folder: drive C:'s root and its folders.
        TestApp app;
        app.context.gameDirectory = "C:\\no\\such\\game\\";
        DirectoryWindow d(app);
        EXPECT_EQ(d.window->Drive1->currentText(), driveC);
        EXPECT_EQ(d.window->Dir1->path(), QStringLiteral("C:\\"));
        ASSERT_GT(d.window->Dir1->count(), 1);
        EXPECT_TRUE(FolderListWidget::entryPath(d.window->Dir1->item(1)).startsWith(QStringLiteral("C:\\")));
    }
    // A drive letter the system does not have.
    for (char letter = 'b'; letter <= 'y' && missingDrive.isEmpty(); ++letter) {
        if (!drives.contains(QString(QLatin1Char(letter)) + ':')) {
            missingDrive = QString(QLatin1Char(letter)) + ':';
        }
    }
    ASSERT_FALSE(missingDrive.isEmpty());
#else
    // "/" and Wine's drive C: of the default prefix and of winetricks'
    // prefixes. HOME is the test run's private folder.
    const QString driveC = QStringLiteral("/");
    const std::filesystem::path home = qEnvironmentVariable("HOME").toStdString();
    ASSERT_NE(home.string().find("gm-home-"), std::string::npos);
    const std::filesystem::path wineC = home / ".wine" / "drive_c";
    const std::filesystem::path otherC = home / ".local" / "share" / "wineprefixes" / "steam" / "drive_c";
    std::filesystem::create_directories(wineC / "Games");
    std::filesystem::create_directories(otherC);
    EXPECT_EQ(frmDirectory::driveList().mid(0, 3), (QStringList{"/", q(wineC.string()), q(otherC.string())}));
    {
        TestApp app;
        app.context.gameDirectory = "/no/such/game/";
        DirectoryWindow d(app);
        EXPECT_EQ(d.window->Drive1->currentText(), q(wineC.string()));
        EXPECT_EQ(d.window->Dir1->path(), q(wineC.string()));
        EXPECT_NE(d.window->Dir1->entryFor(q((wineC / "Games").string())), nullptr);
    }
    std::filesystem::remove_all(home / ".wine");
    std::filesystem::remove_all(home / ".local" / "share" / "wineprefixes");
#endif

    // The stored folder, while the drive list stays on drive C:.
    TestApp app;
#ifndef _WIN32
    missingDrive = q(app.game.text() + "/unmounted");
#endif
    app.context.gameDirectory = app.game.text() + (QDir::separator() == '/' ? "/" : "\\");
    DirectoryWindow d(app);
    EXPECT_EQ(d.window->Dir1->path(), q(app.game.text()));
    EXPECT_EQ(d.window->Drive1->currentText(), driveC);
    // A drive that cannot be opened keeps the folder.
    d.window->Drive1->addItem(missingDrive);
    app.dialogs.expect(QStringLiteral("The drive you specified is not accessible."), Buttons::Ok, Icon::Critical);
    d.window->Drive1->setCurrentIndex(d.window->Drive1->count() - 1);
    EXPECT_EQ(d.window->Dir1->path(), q(app.game.text()));
    EXPECT_EQ(d.window->Drive1->currentIndex(), d.window->Drive1->count() - 1);

    EXPECT_TRUE(test::pressOn(d.window->cmdCancel, Qt::Key_Return));
    EXPECT_TRUE(d.window->isUnloaded());
    EXPECT_EQ(app.menuShows, 1);
    EXPECT_EQ(app.context.gameDirectory, app.game.text() + (QDir::separator() == '/' ? "/" : "\\"));
    EXPECT_FALSE(app.appFolder.exists("option.dat"));
}

TEST(DirectoryWindow, Layout)
{
    TestApp app;
    DirectoryWindow d(app);
    frmDirectory& w = *d.window;
    EXPECT_EQ(w.windowTitle(), "Directory Setup");
    EXPECT_EQ(w.size(), ui::twipsSize(5175, 4935));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "fixed border";
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    test::expectControls(w, {
        {"Label1", "Please double click on the Gridmark Directory.", "", 120, 120, 4920, 255},
        {"Drive1", nullptr, "", 120, 480, 4935, 315},
        {"Dir1", nullptr, "", 120, 960, 4935, 3240},
        {"cmdOK", "OK", "", 2640, 4320, 1215, 495},
        {"cmdCancel", "Cancel", "", 3840, 4320, 1215, 495},
    });
    EXPECT_FALSE(w.cmdOK->isDefault());
    EXPECT_FALSE(w.cmdOK->autoDefault());
    EXPECT_EQ(test::tabOrderNames(&w), (QStringList{"Drive1", "Dir1", "cmdOK", "cmdCancel"}));

    // Neither Enter nor Escape presses a button, not even with the folder
    // list focused; Enter presses the focused button.
    app.makeGameDirectory();
    ASSERT_TRUE(w.Dir1->setPath(q(app.game.text())));
    QTest::keyClick(&w, Qt::Key_Escape);
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_TRUE(test::pressOn(w.Dir1, Qt::Key_Return));
    EXPECT_FALSE(w.isUnloaded());
    EXPECT_FALSE(app.appFolder.exists("option.dat"));
    EXPECT_EQ(test::buttonsDeafToEnter(w), QStringList());
    EXPECT_TRUE(test::pressOn(w.cmdOK, Qt::Key_Return));
    EXPECT_TRUE(w.isUnloaded());
    EXPECT_TRUE(app.appFolder.exists("option.dat"));
}

}  // namespace
}  // namespace gm::shell
