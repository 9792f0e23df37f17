// The one delete operation of the program: a file goes to the Recycle Bin
// (the trash off Windows), so the user can get it back.
#pragma once

#include <filesystem>

namespace gm::shell {

// Moves exactly one file to the Recycle Bin without asking. 0 means the
// file is there now; any other value is a failure (the caller reports it).
// Shows nothing and never throws.
int RecycleFile(const std::filesystem::path& path) noexcept;

}  // namespace gm::shell
