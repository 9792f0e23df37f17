// Moves one file to the Recycle Bin (Windows) or the freedesktop trash.
#pragma once

#include <filesystem>

namespace gm::platform {

// 0 when the file now lies in the recycle bin / trash; non-zero otherwise
// (missing file, a folder, no rights, no trash available). Never throws.
int moveToRecycleBin(const std::filesystem::path& path);

}  // namespace gm::platform
