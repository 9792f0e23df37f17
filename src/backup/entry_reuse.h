// Entries a new archive takes from an earlier one: when a file is unchanged
// since an earlier backup, its deflated bytes are copied from that backup's
// archive instead of deflating the file again.
//
// A candidate is an entry of the same name, size and modification time (at
// the two seconds a zip entry keeps), deflated and not encrypted. Before its
// bytes are used they are read whole, inflated and compared with the file
// byte for byte, and their CRC with the entry's: only bytes proven to give
// exactly the file's content are copied. A damaged archive, a wrong CRC, or
// a file edited without changing its size or time is packed afresh. The new
// archive holds the bytes themselves and refers to no other file.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backup/work_progress.h"

namespace gm::backup {

class Inflater;
class ScratchBuffer;

// At most this many earlier archives are looked into for one new archive.
inline constexpr std::size_t kMaxReuseSources = 4;

// The archives a new backup `name` may take entries from: an older archive
// of the same name first (it is replaced only once the new one is complete),
// then the other archives of the folder, newest first; kMaxReuseSources at
// most. Files that are not archives by their name (".zip") are passed over.
std::vector<std::filesystem::path> reuseSourcesFor(const std::filesystem::path& backupFolder,
                                                   const std::string& name);

// An entry that may hold a file's deflated bytes.
struct ReuseCandidate {
    std::size_t source = 0;  // which archive of the ReuseSources
    std::uint64_t entry = 0; // its index there
    std::string name;
    std::uint64_t size = 0;
    std::uint64_t compressedSize = 0;
    std::uint32_t crc = 0;
};

// True when an entry's modification time is the file's as a zip entry keeps
// it (whole seconds, rounded down to even ones), or exactly the file's.
bool sameEntryTime(std::time_t entry, std::time_t file);

// The earlier archives, opened for finding candidates.
class ReuseSources {
public:
    // Archives that are missing or cannot be read are passed over.
    explicit ReuseSources(const std::vector<std::filesystem::path>& archives);
    ~ReuseSources();
    ReuseSources(const ReuseSources&) = delete;
    ReuseSources& operator=(const ReuseSources&) = delete;

    // The entry of the first archive whose name, size and time fit the file.
    std::optional<ReuseCandidate> find(const std::string& entryName, std::uint64_t size, std::time_t mtime) const;

    std::size_t count() const;
    const std::filesystem::path& archive(std::size_t source) const;

private:
    struct Source;
    std::vector<std::unique_ptr<Source>> sources_;
};

// Reads candidates on one thread, with handles of its own on the archives
// (one libzip handle is not read from two threads).
class ReuseReader {
public:
    explicit ReuseReader(const ReuseSources& sources);
    ~ReuseReader();
    ReuseReader(const ReuseReader&) = delete;
    ReuseReader& operator=(const ReuseReader&) = delete;

    // Reads the candidate's deflated bytes into `out` (compressedSize
    // bytes) and proves them: true only when they inflate (into `scratch`,
    // the size of the file) to exactly the bytes of `file` as it is now,
    // with the entry's CRC. False as well when `progress` asks to cancel.
    bool readVerified(const ReuseCandidate& candidate, const std::filesystem::path& file, unsigned char* out,
                      ScratchBuffer& scratch, const WorkProgress* progress);

private:
    struct Handle;
    const ReuseSources& sources_;
    std::vector<std::unique_ptr<Handle>> handles_;
    std::unique_ptr<Inflater> inflater_;
    std::unique_ptr<unsigned char[]> piece_;
};

}  // namespace gm::backup
