// A new zip archive written to its file through a large buffer.
//
// libzip copies an archive's data in pieces of 8 KB, which its own file
// source passes to the system 4 KB at a time: some 25,000 writes for a
// 100 MB archive, and on the thread that waits for them the packing waits
// too. This source gathers the pieces and writes them 64 KB at a time (far
// larger writes cost the system more again, see the unpacking). Like
// libzip's own, it writes to a temporary file beside the archive (its name
// plus "." and six letters or digits, as the work journal expects) and
// renames it onto the archive only when libzip has written all of it.
#pragma once

#include <filesystem>

typedef struct zip zip_t;
typedef struct zip_error zip_error_t;

namespace gm::backup {

// Opens `archive` for libzip as a new, empty archive (an existing file of
// that name is replaced when the archive is closed); null with `error` set
// when it cannot.
zip_t* createArchive(const std::filesystem::path& archive, zip_error_t* error);

}  // namespace gm::backup
