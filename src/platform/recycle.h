// Moves one file to the Recycle Bin (Windows) or the freedesktop trash.
#pragma once

#include <filesystem>

namespace gm::platform {

// 0 when the file now lies in the recycle bin / trash; non-zero otherwise
// (missing file, a folder, no rights, no trash available). Never throws.
// Off Windows, the user's trash is made (mode 0700) when it is missing, and
// only a place inside a trash counts as trashed; a file that the system
// trash cannot take (it lies on another mount than the home folder, which
// has no trash folder of its own that can be made) is copied into the
// user's own trash with its trash information, then removed; only when
// that fails too is the result non-zero.
int moveToRecycleBin(const std::filesystem::path& path);

#ifndef _WIN32
// The second way alone: copies the file into the user's own trash
// ($XDG_DATA_HOME/Trash, else ~/.local/share/Trash) under a free name with
// its .trashinfo record, then removes the original. On any failure the
// original stays and nothing is left in the trash. 0 means success.
int copyToUserTrash(const std::filesystem::path& path);

// moveToRecycleBin with the first way given (for tests: a system trash
// that refuses). `systemTrash` returns true when it moved the file.
int moveToRecycleBinVia(const std::filesystem::path& path, bool (*systemTrash)(const std::filesystem::path&));
#endif

}  // namespace gm::platform
