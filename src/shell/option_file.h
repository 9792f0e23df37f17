// The option file: the game directory as one quoted line. It lives in the
// folder of the program's own files (beside the program, or the user's data
// folder when the program cannot write there; see AppContext::ownFilesFolder).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/atomic_write.h"

namespace gm::shell {

inline constexpr std::string_view kOptionFileName = "option.dat";

std::filesystem::path optionFilePath(const std::filesystem::path& folder);

// The game directory the option file holds: the first field of its first
// line (a quoted value to the next quote, otherwise to the first comma or
// the line end, leading blanks skipped). Nothing when the file is missing,
// unreadable or holds no readable value: a first start, then.
std::optional<std::string> readGameDirectory(const std::filesystem::path& folder);

// The same rule applied to the bytes of an option file.
std::optional<std::string> gameDirectoryOf(std::string_view bytes);

// Replaces the option file atomically with one line: the quoted directory
// and CR LF. A directory that a quoted field cannot hold (common::canQuote)
// is refused and nothing is written.
platform::WriteResult writeGameDirectory(const std::filesystem::path& folder,
                                         std::string_view gameDirectory);

// A folder is a game directory when both "\players" and "\series" exist in
// it (folders, or files of those names).
bool isGameDirectory(std::string_view folder);

}  // namespace gm::shell
