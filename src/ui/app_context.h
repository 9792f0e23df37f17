// What every window is handed when it is created: the game directory, the
// application folder, the dialogs and the main menu's operations.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace gm::ui {

class Dialogs;

struct AppContext {
    // The game directory as path text (UTF-8); tools append game-relative
    // sub-paths written with backslashes ("\tracks\", "\players").
    std::string gameDirectory;
    // The folder the program runs from: option file, track defaults, backups.
    std::filesystem::path applicationFolder;
    // Where the program keeps the files it writes of its own (option file,
    // Backup folder). Empty means the application folder (portable use).
    std::filesystem::path dataFolder;
    Dialogs* dialogs = nullptr;
    // The main menu: its show operation and its enabled flag.
    std::function<void()> showMenu;
    std::function<void(bool)> setMenuEnabled;
    // The menu window, owner for centring; may be null.
    QWidget* menuWindow = nullptr;

    // game directory + a game-relative path such as "\tracks\a\track.ini".
    std::filesystem::path gamePath(std::string_view relative) const;

    // The folder of the program's own written files: dataFolder, or the
    // application folder when none is set.
    const std::filesystem::path& ownFilesFolder() const;
    // ownFilesFolder() + "Backup": the backup archives and their index files.
    std::filesystem::path backupFolder() const;
};

}  // namespace gm::ui
