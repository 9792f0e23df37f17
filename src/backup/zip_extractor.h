// CGUnzipFiles extracts a zip archive into a folder.
//
// Unzip first checks every entry and refuses the whole archive, writing
// nothing, when one would land outside the target folder or is not a plain
// file or folder, when a name cannot be made on this file system, or when
// two entries need one place (see checkEntryName and checkTargets). Then
// every file is unpacked (deflated entries inflated by libdeflate on worker
// threads, stored, encrypted and very large ones through libzip), its size
// and CRC checked, and written to a temporary file beside its target. Only
// when all files are verified are they renamed onto their targets. That is
// all or nothing too: each file a target replaces is renamed aside first and
// removed once every file is in place; if a rename fails, the new files go
// and the replaced ones come back. So a damaged archive or a failing disk
// leaves every target file as it was. Folders are created as needed (and
// removed again when nothing was put in them).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backup/work_progress.h"

namespace gm::backup {

class WorkJournal;

// Results of Unzip (the classic Info-ZIP unzip codes).
inline constexpr std::int32_t kUnzipOk = 0;
inline constexpr std::int32_t kUnzipWarning = 1;      // done, but some files were kept or skipped
inline constexpr std::int32_t kUnzipDamaged = 2;      // an entry's data is damaged (size, CRC, inflate)
inline constexpr std::int32_t kUnzipRefused = 3;      // unsafe entry: the whole archive refused, nothing written
inline constexpr std::int32_t kUnzipNoMemory = 4;
inline constexpr std::int32_t kUnzipNotAnArchive = 9; // missing, unreadable or not a zip archive
inline constexpr std::int32_t kUnzipDiskError = 50;   // a file or folder could not be written
inline constexpr std::int32_t kUnzipCancelled = 80;   // cancelled through WorkProgress
inline constexpr std::int32_t kUnzipBadPassword = 82; // encrypted entries skipped (no or wrong password)

// Answers of the replace question.
inline constexpr int kReplaceYes = 102;     // replace this file
inline constexpr int kReplaceNo = 100;      // keep the existing file
inline constexpr int kReplaceCancel = 104;  // keep it and every further existing file

// The questions Unzip may ask; the window answers them with its dialogs.
// Both are called on the thread that runs Unzip, before any file is written
// (a window running Unzip on a worker thread must ask on its own thread and
// wait for the answer).
struct UnzipQuestions {
    virtual ~UnzipQuestions() = default;
    // An entry's target exists. `name` is the target's path text (UTF-8).
    // Returns kReplaceYes, kReplaceNo or kReplaceCancel (other values count
    // as No).
    virtual int replaceFile(const std::string& name) = 0;
    // An encrypted entry needs a password (none given yet, or the last one
    // was wrong). Nothing or an empty text refuses: no more questions for
    // the rest of the call, and the encrypted entries are skipped. The
    // answer's bytes are the password as the archive expects it.
    virtual std::optional<std::string> password(const std::string& entryName) = 0;
};

// What the last Unzip of an object did.
struct UnzipReport {
    std::uint64_t filesRestored = 0;  // renamed onto their targets
    std::uint64_t filesInPlace = 0;   // equal to their entries already, so left as they were (compare)
    std::uint64_t filesKept = 0;      // existing files kept by a No / Cancel answer
    std::uint64_t filesSkipped = 0;   // encrypted entries without a usable password
    std::string failedName;           // the entry, or the file or folder, a failure came from
    std::string refusedEntry;         // for kUnzipRefused: the entry name that caused it
    std::string refusedReason;        // and why, in words
    // A failed restore could not put every file back as it was: the files
    // it moved aside are still where the message log says (and in the
    // journal, when there is one).
    bool notPutBack = false;
    bool refusedUnsafe = true;        // it would land elsewhere or is no plain file (else: it cannot be made here)
};

// What went wrong in an Unzip that gave `result`, in one sentence that
// names the file it came from ("The backup archive is damaged: its file
// "NAME" cannot be read."); empty for kUnzipOk and kUnzipCancelled.
std::string describeFailure(std::int32_t result, const UnzipReport& report);

// Entries larger than this are unpacked by libzip's streaming inflate.
inline constexpr std::uint64_t kDefaultUnpackStreamingThreshold = 64ull * 1024 * 1024;

// How an unpacking treats entry names and existing files (the properties
// of CGUnzipFiles that act).
struct UnpackOptions {
    bool spaceToUnderscore = false;  // blanks in entry names become underscores
    bool promptOverwrite = false;    // ask before replacing each existing file
    bool test = false;               // check every entry, write nothing
    bool honorDirectories = true;    // entries keep their folders
    bool overwrite = true;           // replace existing files when not asking
    std::uint64_t streamingThreshold = kDefaultUnpackStreamingThreshold;
};

// The unpacking beneath Unzip, step by step, for work that does more
// between the steps: a restore compares the files with the archive first
// and keeps the ones it will replace. The steps come in this order:
// check, compare (or not), ask, unpack; each returns kUnzipOk or the kUnzip*
// result that ends the unpacking (the message log and report() say why),
// after which no further step is taken. Nothing is written before unpack.
class Unpacking {
public:
    Unpacking(std::filesystem::path archive, std::filesystem::path folder, UnpackOptions options);
    ~Unpacking();
    Unpacking(const Unpacking&) = delete;
    Unpacking& operator=(const Unpacking&) = delete;

    // The questions (not owned; may be null: existing files are then
    // replaced or kept as the options say, and no password is known).
    void setQuestions(UnzipQuestions* questions);
    // Where the temporary files and the files moved aside are noted before
    // they are made (not owned; may be null).
    void setJournal(WorkJournal* journal);

    // Opens the archive and checks every entry (see CGUnzipFiles): a name
    // that would land outside the folder, an entry that is no plain file or
    // folder, sizes that do not fit, a name this file system cannot hold or
    // two entries for one place refuse the whole archive.
    std::int32_t check();

    // Compares each file entry with the file at its target, on worker
    // threads: size first, then the CRC; an entry without a CRC (WinZip
    // AES of the AE-2 kind) is unpacked in memory and compared byte for
    // byte, which may ask for the password. A plain file equal to its entry
    // is left as it is: it is counted as restored (report().filesInPlace)
    // and not written. The bytes read are counted on `progress` (may be
    // null), whose total is set first; it also carries the cancel.
    std::int32_t compare(WorkProgress* progress);

    // Asks the questions: whether to replace existing files (with
    // promptOverwrite), and passwords for the encrypted entries still to be
    // written.
    std::int32_t ask();

    // The uncompressed bytes of the archive's files (after check): the
    // most unpack can write.
    std::uint64_t bytesOfFiles() const;
    // The uncompressed bytes unpack is going to write (after ask).
    std::uint64_t bytesToUnpack() const;
    // The existing files unpack is going to replace (after ask), in entry
    // order.
    std::vector<std::filesystem::path> replacedTargets() const;

    // Unpacks every entry still to be written to a temporary file beside
    // its target, verified (size and CRC, or the AES MAC), then puts them
    // all in place or none. `progress` (may be null) counts the bytes and
    // the files put in place, and carries the cancel.
    std::int32_t unpack(WorkProgress* progress);

    // The file entries of the archive (not its folders), after check.
    std::uint64_t fileCount() const;
    const UnzipReport& report() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

class CGUnzipFiles {
public:
    CGUnzipFiles() = default;

    // Boolean properties store 1 for True and 0 for False and read back
    // True only for a stored 1. Integer properties must fit into 16 bits
    // when Unzip runs. Only PromptOverwrite, OverWriteFiles,
    // HonorDirectories, SpaceToUnderScore and TestZip change what Unzip
    // does; the others are stored and read back.
    bool ExtractNewer() const;
    void setExtractNewer(bool bExtractNewer);
    // Blanks in entry names become underscores in the target names.
    bool SpaceToUnderScore() const;
    void setSpaceToUnderScore(bool bConvert);
    // True: the replace question is asked for every existing target.
    bool PromptOverwrite() const;
    void setPromptOverwrite(bool bPrompt);
    std::int32_t MessageLevel() const;
    void setMessageLevel(std::int32_t iLevel);
    bool WriteToStdOut() const;
    void setWriteToStdOut(bool bWrite);
    // True: every entry is checked (names, sizes, CRC) and nothing written.
    bool TestZip() const;
    void setTestZip(bool bTest);
    std::int32_t ExtractList() const;
    void setExtractList(std::int32_t zExType);
    bool ExtractOnlyNewer() const;
    void setExtractOnlyNewer(bool bOnlyNewer);
    bool DisplayComment() const;
    void setDisplayComment(bool bDisplay);
    // True (initial): entries keep their folders. False: every file goes
    // directly into ExtractDir under its own name.
    bool HonorDirectories() const;
    void setHonorDirectories(bool bHonor);
    // True (initial): existing files are replaced without a question when
    // PromptOverwrite is False. False: they are kept.
    bool OverWriteFiles() const;
    void setOverWriteFiles(bool bOverWrite);
    bool ConvertCRtoCRLF() const;
    void setConvertCRtoCRLF(bool bConvert);
    bool Verbose() const;
    void setVerbose(bool bVerbose);
    bool CaseSensitive() const;
    void setCaseSensitive(bool bCaseSensitive);
    std::int32_t Privilege() const;
    void setPrivilege(std::int32_t zPriv);
    std::string ZipFileName() const;
    void setZipFileName(const std::string& sZipFileName);
    // The folder entries are written below (program path text, UTF-8).
    std::string ExtractDir() const;
    void setExtractDir(const std::string& sExtractDir);

    // A non-empty argument replaces ZipFileName / ExtractDir first. Returns
    // a kUnzip* result (kUnzipOk when every entry was written or, with
    // TestZip, checked); the message log says what went wrong. An integer
    // property beyond 16 bits throws ZipError 6 "Overflow", source
    // "CGUnZipFiles::Unzip". Blocks until done; runs on any thread.
    std::int32_t Unzip(const std::string& sZipFileName = std::string(),
                       const std::string& sExtractDir = std::string());

    // The message log of the last MakeZipFile or Unzip.
    std::string GetLastMessage() const;

    // The questions (not owned; may be null: existing files are then
    // replaced or kept as OverWriteFiles says, and no password is known).
    void setQuestions(UnzipQuestions* questions);
    // Progress and cancel (not owned; may be null). The counters are reset
    // at the start of Unzip. A cancel leaves every target as it was.
    void setWorkProgress(WorkProgress* progress);
    // Where the temporary files and the files moved aside are noted before
    // they are made (not owned; may be null).
    void setJournal(WorkJournal* journal);
    // Entries larger than this are unpacked by libzip's streaming inflate.
    void setStreamingThreshold(std::uint64_t bytes);

    const UnzipReport& lastReport() const { return report_; }

private:
    std::int16_t extractNewer_ = 0;
    std::int16_t spaceToUnderscore_ = 0;
    std::int16_t promptOverwrite_ = 0;
    std::int32_t messageLevel_ = 2;
    std::int16_t writeToStdOut_ = 0;
    std::int16_t testZip_ = 0;
    std::int32_t extractList_ = 0;
    std::int16_t extractOnlyNewer_ = 0;
    std::int16_t displayComment_ = 0;
    std::int16_t honorDirectories_ = 1;
    std::int16_t overWrite_ = 1;
    std::int16_t convertCrLf_ = 0;
    std::int16_t verbose_ = 0;
    std::int16_t caseSensitive_ = 1;
    std::int32_t privilege_ = 0;
    std::string zipFileName_;
    std::string extractDir_;
    UnzipQuestions* questions_ = nullptr;
    WorkProgress* progress_ = nullptr;
    WorkJournal* journal_ = nullptr;
    std::uint64_t streamingThreshold_ = kDefaultUnpackStreamingThreshold;
    UnzipReport report_;
};

}  // namespace gm::backup
