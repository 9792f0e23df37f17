// Gridmark Editor: starts the main menu, which opens every tool window.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include "platform/paths.h"
#include "shell/frm_main.h"
#include "ui/dialogs.h"
#include "ui/geometry.h"

#ifdef GM_TRACK_AVAILABLE
#include "track/frm_track.h"
#endif
#ifdef GM_SEASON_AVAILABLE
#include "season/frm_season.h"
#endif
#ifdef GM_AUTOAI_AVAILABLE
#include "autoai/frm_auto_ai.h"
#endif
#ifdef GM_BACKUP_AVAILABLE
#include "backup/frm_backup.h"
#include "backup/frm_restore.h"
#endif

namespace {

bool displayAvailable()
{
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#endif
}

}  // namespace

int main(int argc, char** argv)
{
    if (!displayAvailable()) {
        std::fputs("gridmark-editor: no graphical display found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                   "Start it from a desktop session, or under a virtual display: xvfb-run gridmark-editor\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Gridmark Editor"));
    QApplication::setQuitOnLastWindowClosed(false);

    gm::ui::QtDialogs dialogs;
    gm::ui::AppContext context;
    context.applicationFolder = gm::platform::applicationFolder();
    // Beside the program when it may write there, else the user's data folder.
    context.dataFolder = gm::platform::ownFilesFolder(context.applicationFolder);
    context.dialogs = &dialogs;

    gm::shell::ToolWindows tools;
#ifdef GM_TRACK_AVAILABLE
    tools.track = [](gm::ui::AppContext& ctx) -> gm::ui::Form* { return new gm::track::frmTrack(ctx); };
#endif
#ifdef GM_SEASON_AVAILABLE
    tools.season = [](gm::ui::AppContext& ctx) -> gm::ui::Form* { return new gm::season::frmSeason(ctx); };
#endif
#ifdef GM_AUTOAI_AVAILABLE
    tools.autoAI = [](gm::ui::AppContext& ctx) -> gm::ui::Form* { return new gm::autoai::frmAutoAI(ctx); };
#endif
#ifdef GM_BACKUP_AVAILABLE
    tools.backup = [](gm::ui::AppContext& ctx) -> gm::ui::Form* { return new gm::backup::frmBackup(ctx); };
    tools.restore = [](gm::ui::AppContext& ctx) -> gm::ui::Form* { return new gm::backup::frmRestore(ctx); };
#endif

    gm::shell::frmMain menu(context, tools);
    context.menuWindow = &menu;
    context.showMenu = [&menu] { menu.show(); };
    context.setMenuEnabled = [&menu](bool enabled) { menu.setEnabled(enabled); };

    menu.Form_Load();
    if (menu.programEnded()) {
        return 0;
    }
    gm::ui::centreOn(&menu, nullptr);
    menu.show();
    if (!context.gameDirectory.empty()) {
        // A directory window opened by a first start stays above the menu.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != &menu && window->isVisible()) {
                window->raise();
                window->activateWindow();
            }
        }
    }
    return QApplication::exec();
}
