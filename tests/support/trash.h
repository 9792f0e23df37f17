// The private trash the test main sets up through XDG_DATA_HOME.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace gm::test {

inline std::filesystem::path trashFiles()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    return data == nullptr ? std::filesystem::path() : std::filesystem::path(data) / "Trash" / "files";
}

// Contents of the trashed files whose names begin with `prefix` (all of
// them for an empty prefix).
inline std::vector<std::string> trashedContents(const std::string& prefix = {})
{
    std::vector<std::string> contents;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(trashFiles(), ec)) {
        if (entry.is_regular_file() && entry.path().filename().string().rfind(prefix, 0) == 0) {
            contents.push_back(readBytes(entry.path()));
        }
    }
    return contents;
}

}  // namespace gm::test
