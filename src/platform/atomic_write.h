// Whole-file replacement that never leaves a half-written file behind.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace gm::platform {

struct WriteResult {
    bool ok = false;
    std::string error;  // what went wrong, for a message; empty on success
    explicit operator bool() const { return ok; }
};

// Writes the bytes to a temporary file in the same folder and renames it over
// the target, so a crash, a full disk or a killed process leaves either the
// old content or the new one. The target's folder must exist.
WriteResult writeFileAtomic(const std::filesystem::path& path, std::string_view bytes);

}  // namespace gm::platform
