// The backup index file: the files of one backup archive, one per line, each
// the file's path relative to the game directory ("\tracks\atlanta\track.ini")
// in double quotes and ended by CR LF. Nothing else is in the file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_write.h"

namespace gm::backup {

// The bytes of an index file listing these relative paths in their order.
std::string indexBytes(const std::vector<std::string>& entries);

// Limits of what is read from an index file. An index written by the
// program holds at most 1023 lines of one path each; a damaged or foreign
// file may hold anything, so reading stops at these bounds instead of
// running out of memory or filling a list with megabytes of one line.
inline constexpr std::size_t kMaxIndexBytes = std::size_t{4} << 20;
inline constexpr std::size_t kMaxIndexEntries = 65536;
inline constexpr std::size_t kMaxIndexEntryLength = 4096;

// The entries of an index file's bytes: one double-quoted value at a time
// (the quotes removed; quoted-field rules). Whatever the bytes hold
// (unbalanced quotes, binary bytes, one huge line) this returns what can be
// read: empty values are passed over, a value longer than
// kMaxIndexEntryLength is cut there, bytes past kMaxIndexBytes are not read
// and at most kMaxIndexEntries values are returned.
std::vector<std::string> readIndex(std::string_view bytes);

// Reads an index file (at most kMaxIndexBytes of it); an unreadable file
// gives no entries.
std::vector<std::string> readIndexFile(const std::filesystem::path& path);

// Writes an index file atomically (the old content stays on failure).
platform::WriteResult writeIndexFile(const std::filesystem::path& path, const std::vector<std::string>& entries);

}  // namespace gm::backup
