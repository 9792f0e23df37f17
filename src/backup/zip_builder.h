// CGZipFiles gathers the names of files to back up and packs them into one
// zip archive.
//
// Packing: each file is stored under its full path below its drive root
// ("Quillon/Gridmark/players/Ann/playrecs.ini": drive and first separator
// left off, folders kept, forward slashes; on POSIX the drive root of a path
// inside a Wine prefix is its drive_c). Files up to the streaming threshold
// are read whole and deflated with libdeflate on worker threads and handed
// to libzip already deflated; larger ones go through libzip's own streaming
// deflate, so memory stays bounded whatever the files' sizes. The archive is
// written to a temporary file and renamed onto ZipFileName only when it is
// complete: a failed or cancelled MakeZipFile leaves no archive (and an
// earlier file of that name as it was).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/work_progress.h"

namespace gm::backup {

// Results of MakeZipFile (the classic Info-ZIP zip codes).
inline constexpr std::int32_t kZipOk = 0;
inline constexpr std::int32_t kZipNoMemory = 4;
inline constexpr std::int32_t kZipCancelled = 9;     // cancelled through WorkProgress
inline constexpr std::int32_t kZipReadError = 11;    // a listed file could not be read
inline constexpr std::int32_t kZipNothingToDo = 12;  // no listed name matched a file
inline constexpr std::int32_t kZipWriteError = 14;   // the archive could not be written
inline constexpr std::int32_t kZipCreateError = 15;  // the archive could not be created

// The placeholder entry every new file list starts with.
inline constexpr const char* kPlaceholderName = "querty";
// At most this many names (placeholder included) reach the packer.
inline constexpr int kNameTableSlots = 1024;
// Files larger than this go through libzip's streaming deflate.
inline constexpr std::uint64_t kDefaultStreamingThreshold = 64ull * 1024 * 1024;

// What MakeZipFile hands to the packer.
struct ZipRequest {
    std::vector<std::string> names;  // the name table: placeholder (if kept) first, then the added names
    std::string archivePath;         // ZipFileName
    bool junkDirectories = false;
    bool recurseFolders = false;
    bool updating = false;           // add to an existing archive instead of replacing it
    bool freshen = false;
    std::string rootDirectory;       // RootDirectory in upper case
};

class CGZipFiles {
public:
    CGZipFiles();
    ~CGZipFiles();
    CGZipFiles(const CGZipFiles&) = delete;
    CGZipFiles& operator=(const CGZipFiles&) = delete;

    // Boolean properties store 1 for True and 0 for False and read back
    // True only for a stored 1.
    // Stored and read back; a listed folder is not packed either way.
    bool RecurseFolders() const;
    void setRecurseFolders(bool bRecurse);
    std::string ZipFileName() const;
    void setZipFileName(const std::string& sZipFileName);
    // Stored and read back; packing does not encrypt.
    bool Encrypted() const;
    void setEncrypted(bool bEncrypt);
    // Stored and read back; packing takes every listed file regardless.
    bool IncludeSystemFiles() const;
    void setIncludeSystemFiles(bool bInclude);
    // Entries in the file list minus the placeholder (so 0 for a new
    // object, -1 once the placeholder is removed from an empty list).
    std::int32_t ZipFileCount() const;
    // "\" (the initial value): names are full paths and are stored below
    // their drive root. Other values: the folder relative names are read
    // from. Reaches the packer in upper case.
    std::string RootDirectory() const;
    void setRootDirectory(const std::string& sRootDir);
    // True: add to (and replace entries of) an existing archive; False
    // (initial): a new archive replaces any old one.
    bool UpdatingZip() const;
    void setUpdatingZip(bool bUpdating);

    // Appends a name (full path in the program's path text, UTF-8; '\' and
    // '/' both separate folders). Throws ZipError kErrorAlreadyInList,
    // source "CGZip::AddFile", "File is already in Zip List" when a listed
    // name equals it with letter case ignored; the list is then unchanged.
    void AddFile(const std::string& sFileName);
    // Removes the listed name equal to it with letter case ignored. Throws
    // ZipError kErrorNotInList, source "CGZip::RemoveFile", "File is not
    // in Zip List" when there is none.
    void RemoveFile(const std::string& sFileName);

    // Packs the listed files into ZipFileName. More than 1024 names
    // (placeholder included) throw ZipError 9 "Subscript out of range",
    // source "CGZipFiles::MakeZipFile", and nothing is packed. Otherwise the
    // result is kZipOk when the archive was written; a name that matches no
    // file, or a file that cannot be read, is reported in the message log
    // and left out (see leftOut; the placeholder always is). Any other
    // result: no archive was written, and the log says why. Blocks until
    // done; runs on any thread (one call at a time).
    std::int32_t MakeZipFile();

    // The listed names the last MakeZipFile left out (gone, not a plain
    // file, unreadable, or a second name of one file), in list order,
    // without the placeholder: what an index must not list.
    const std::vector<std::string>& leftOut() const;

    // The message log of the last MakeZipFile or Unzip.
    std::string GetLastMessage() const;

    // The names in list order, placeholder included while it is there.
    std::vector<std::string> fileList() const;
    // The request MakeZipFile hands to the packer; throws error 9 as
    // MakeZipFile does (source "CGZipFiles::MakeZipFile").
    ZipRequest buildRequest() const;

    // Progress and cancel for MakeZipFile (not owned; may be null). The
    // counters are reset at the start of MakeZipFile.
    void setWorkProgress(WorkProgress* progress);
    // Files above this size are streamed (kDefaultStreamingThreshold).
    void setStreamingThreshold(std::uint64_t bytes);

private:
    std::int16_t recurse_ = 0;
    std::string zipFileName_;
    std::int16_t encrypt_ = 0;
    std::int16_t includeSystem_ = 0;
    std::string rootDirectory_ = "\\";
    std::int16_t updating_ = 0;
    std::vector<std::string> files_;  // the file list; each entry is its own key
    std::vector<std::string> keys_;   // the keys in upper case, for comparing without case
    WorkProgress* progress_ = nullptr;
    std::uint64_t streamingThreshold_ = kDefaultStreamingThreshold;
    std::vector<std::string> leftOut_;
};

// One file for packArchive: where it is and the name it is stored under.
struct PackItem {
    std::filesystem::path path;
    std::string entryName;
    std::string shownName;  // how the message log names it
};

struct PackOptions {
    bool updating = false;  // add to (and replace entries of) an existing archive
    std::uint64_t streamingThreshold = kDefaultStreamingThreshold;
    // Earlier archives whose entries may be copied instead of deflating a
    // file again (see entry_reuse.h); files above the streaming threshold
    // are always packed afresh.
    std::vector<std::filesystem::path> reuseFrom;
    WorkProgress* progress = nullptr;  // not owned; may be null
};

struct PackResult {
    std::int32_t code = kZipOk;        // a kZip* result
    std::vector<std::size_t> leftOut;  // items left out (gone, not a plain file, unreadable, a second item of one entry)
    std::size_t reused = 0;            // entries copied from earlier archives
};

// Packs the items into `archive`, written under a temporary name and
// renamed onto it only when complete. Does not empty the message log;
// appends what it has to say to it.
PackResult packArchive(const std::filesystem::path& archive, const std::vector<PackItem>& items,
                       const PackOptions& options);

// The packer behind MakeZipFile (the module-level glue): empties the message
// log, packs and returns a kZip* result. Names that are empty or match no
// plain file are logged ("zip warning: name not matched: NAME") and skipped,
// as are files that cannot be opened for reading and second names of one
// entry; `leftOut` (optional) receives them, the placeholder excepted.
std::int32_t VBZip(const ZipRequest& request, WorkProgress* progress,
                   std::uint64_t streamingThreshold = kDefaultStreamingThreshold,
                   std::vector<std::string>* leftOut = nullptr);

// The entry name a full path is stored under: its path below its drive root
// with forward slashes ("Quillon/Gridmark/players/Ann/playrecs.ini").
std::string entryNameForPath(const std::string& fullPath);
std::string entryNameFor(const std::filesystem::path& fullPath);

}  // namespace gm::backup
