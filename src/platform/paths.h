// Where the program lives and where a path's drive begins.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace gm::platform {

// The folder that holds the running executable (portable use: the option
// file, the track defaults and the backups live beside the program).
std::filesystem::path applicationFolder();

// True when a file can be created in the folder (tried with a probe file,
// which is removed again: permissions, ACLs and read-only mounts all count).
bool canWriteIn(const std::filesystem::path& folder);

// The user's own folder for the program's files: QStandardPaths'
// AppDataLocation, "%APPDATA%\Gridmark Editor" on Windows and
// "$XDG_DATA_HOME/Gridmark Editor" elsewhere (after the application name),
// in native separators; empty when the system names none. Not created here.
std::filesystem::path userDataFolder();

// Where the program keeps the files it writes of its own (option file,
// Backup folder): the application folder when the program may write there
// (portable use), otherwise the user's data folder (created when missing),
// as for a copy installed under /usr or Program Files.
std::filesystem::path ownFilesFolder(const std::filesystem::path& applicationFolder,
                                     const std::filesystem::path& userData = userDataFolder());

// The folders read-only program files (the track defaults) are looked for
// in, in this order: the application folder, the data folder of an
// installation relative to it (bin/../share/gridmark-editor), and the data
// folder the build was configured to install to.
std::vector<std::filesystem::path> programDataFolders(const std::filesystem::path& applicationFolder);

// The root of the drive a path lies on: on Windows "C:\", "\\server\share\",
// or the same behind a "\\?\" prefix (see windowsDriveRoot); on POSIX the
// drive_c folder of a Wine prefix when the path lies inside one, else "/".
// A relative path lies on the drive of the current folder.
std::filesystem::path driveRoot(const std::filesystem::path& path);

// The drive root of a Windows path text (UTF-8, either separator), ending
// with a backslash:
//   "C:\x", "C:x", "C:"              gives "C:\"
//   "\\server\share\x"              gives "\\server\share\" (the share is part of the drive)
//   "\\?\C:\x", "\\.\C:\x"          give "\\?\C:\", "\\.\C:\"
//   "\\?\UNC\server\share\x"        gives "\\?\UNC\server\share\"
//   "\\?\Volume{...}\x"            gives "\\?\Volume{...}\"
// Empty when the text names no drive ("x", "\x"). Pure text, the same on
// every platform, so that the rule is tested everywhere.
std::string windowsDriveRoot(std::string_view path);

// A path split at the root of its drive: `root` as driveRoot gives it and
// `below` the rest, normalised ("." and ".." resolved, never above the root;
// empty for the root itself). A path that is not full (relative, or "\x" on
// Windows) is first made full against the current folder.
struct DrivePath {
    std::filesystem::path root;
    std::filesystem::path below;
};
DrivePath splitAtDriveRoot(const std::filesystem::path& path);

// The game folder a first start proposes: C:\Quillon\Gridmark\ on Windows,
// the same folder inside the default Wine prefix elsewhere. Ends with a
// separator, as the game's own default does.
std::string defaultGameDirectory();

}  // namespace gm::platform
