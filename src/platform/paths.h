// Where the program lives and where a path's drive begins.
#pragma once

#include <filesystem>
#include <string>

namespace gm::platform {

// The folder that holds the running executable (portable use: the option
// file, the track defaults and the backups live beside the program).
std::filesystem::path applicationFolder();

// The root of the drive a path lies on: "C:\" on Windows; on POSIX the
// drive_c folder of a Wine prefix when the path lies inside one, else "/".
std::filesystem::path driveRoot(const std::filesystem::path& path);

// The game folder a first start proposes: C:\Quillon\Gridmark\ on Windows,
// the same folder inside the default Wine prefix elsewhere. Ends with a
// separator, as the game's own default does.
std::string defaultGameDirectory();

}  // namespace gm::platform
