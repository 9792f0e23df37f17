// Reading what an archive holds, without unpacking it: the entry list and
// the safety check of entry names and kinds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gm::backup {

struct ArchiveEntry {
    std::string name;            // as stored, UTF-8 ("Quillon/Gridmark/players/Ann/playrecs.ini")
    std::uint64_t size = 0;      // uncompressed
    std::uint64_t compressedSize = 0;
    std::uint32_t crc = 0;
    bool isFolder = false;       // a folder entry (name ends with '/')
    bool encrypted = false;
};

struct ArchiveListing {
    bool ok = false;
    std::string error;           // why the archive could not be read; empty when ok
    std::vector<ArchiveEntry> entries;  // in archive order
};

// Lists an archive's entries (archive path as program path text, UTF-8).
ArchiveListing listArchive(const std::string& archivePath);

// The path an entry name is written to below a folder, or nothing when the
// name is unsafe: empty, absolute ("/x", "\x"), with a drive letter or any
// ':' ("C:x"), a ".." component, or a component that is a device name (CON,
// NUL, COM1, ...). '\' separates folders like '/'; "." and empty components
// are dropped. `why` (optional) receives the reason.
std::optional<std::filesystem::path> checkEntryName(const std::filesystem::path& folder,
                                                    std::string_view entryName,
                                                    std::string* why = nullptr);

// Where an entry goes below the folder a restore writes into.
struct PlannedTarget {
    std::string entry;             // the entry name
    std::filesystem::path target;  // below the folder (see checkEntryName)
    bool isFolder = false;
};

struct TargetProblem {
    std::string entry;   // the entry that cannot be put in place
    std::string reason;  // why, in words ("a name too long for a file name")
};

// Checks that every target can be made below `folder` before anything is
// written: each name below the folder can name a file or folder on this
// system (platform::fileNameProblem), no file lies where another entry needs
// a folder ("x" and "x/" or "x/y"), and no two files land on one target.
// Names are compared as the file system compares them: on Windows "A.ini"
// and "a.ini" are one file. The first problem in entry order, or nothing.
std::optional<TargetProblem> checkTargets(const std::filesystem::path& folder,
                                          const std::vector<PlannedTarget>& targets);

}  // namespace gm::backup
