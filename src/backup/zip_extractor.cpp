#include "backup/zip_extractor.h"

#include <zip.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <limits>
#include <memory>
#include <mutex>
#include <random>
#include <system_error>
#include <thread>
#include <vector>

#include "backup/archive_entries.h"
#include "backup/deflate.h"
#include "backup/message_log.h"
#include "backup/work_journal.h"
#include "backup/zip_error.h"
#include "platform/fs.h"

namespace gm::backup {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------
// Properties

bool CGUnzipFiles::ExtractNewer() const { return extractNewer_ == 1; }
void CGUnzipFiles::setExtractNewer(bool bExtractNewer) { extractNewer_ = bExtractNewer ? 1 : 0; }
bool CGUnzipFiles::SpaceToUnderScore() const { return spaceToUnderscore_ == 1; }
void CGUnzipFiles::setSpaceToUnderScore(bool bConvert) { spaceToUnderscore_ = bConvert ? 1 : 0; }
bool CGUnzipFiles::PromptOverwrite() const { return promptOverwrite_ == 1; }
void CGUnzipFiles::setPromptOverwrite(bool bPrompt) { promptOverwrite_ = bPrompt ? 1 : 0; }
std::int32_t CGUnzipFiles::MessageLevel() const { return messageLevel_; }
void CGUnzipFiles::setMessageLevel(std::int32_t iLevel) { messageLevel_ = iLevel; }
bool CGUnzipFiles::WriteToStdOut() const { return writeToStdOut_ == 1; }
void CGUnzipFiles::setWriteToStdOut(bool bWrite) { writeToStdOut_ = bWrite ? 1 : 0; }
bool CGUnzipFiles::TestZip() const { return testZip_ == 1; }
void CGUnzipFiles::setTestZip(bool bTest) { testZip_ = bTest ? 1 : 0; }
std::int32_t CGUnzipFiles::ExtractList() const { return extractList_; }
void CGUnzipFiles::setExtractList(std::int32_t zExType) { extractList_ = zExType; }
bool CGUnzipFiles::ExtractOnlyNewer() const { return extractOnlyNewer_ == 1; }
void CGUnzipFiles::setExtractOnlyNewer(bool bOnlyNewer) { extractOnlyNewer_ = bOnlyNewer ? 1 : 0; }
bool CGUnzipFiles::DisplayComment() const { return displayComment_ == 1; }
void CGUnzipFiles::setDisplayComment(bool bDisplay) { displayComment_ = bDisplay ? 1 : 0; }
bool CGUnzipFiles::HonorDirectories() const { return honorDirectories_ == 1; }
void CGUnzipFiles::setHonorDirectories(bool bHonor) { honorDirectories_ = bHonor ? 1 : 0; }
bool CGUnzipFiles::OverWriteFiles() const { return overWrite_ == 1; }
void CGUnzipFiles::setOverWriteFiles(bool bOverWrite) { overWrite_ = bOverWrite ? 1 : 0; }
bool CGUnzipFiles::ConvertCRtoCRLF() const { return convertCrLf_ == 1; }
void CGUnzipFiles::setConvertCRtoCRLF(bool bConvert) { convertCrLf_ = bConvert ? 1 : 0; }
bool CGUnzipFiles::Verbose() const { return verbose_ == 1; }
void CGUnzipFiles::setVerbose(bool bVerbose) { verbose_ = bVerbose ? 1 : 0; }
bool CGUnzipFiles::CaseSensitive() const { return caseSensitive_ == 1; }
void CGUnzipFiles::setCaseSensitive(bool bCaseSensitive) { caseSensitive_ = bCaseSensitive ? 1 : 0; }
std::int32_t CGUnzipFiles::Privilege() const { return privilege_; }
void CGUnzipFiles::setPrivilege(std::int32_t zPriv) { privilege_ = zPriv; }
std::string CGUnzipFiles::ZipFileName() const { return zipFileName_; }
void CGUnzipFiles::setZipFileName(const std::string& sZipFileName) { zipFileName_ = sZipFileName; }
std::string CGUnzipFiles::ExtractDir() const { return extractDir_; }
void CGUnzipFiles::setExtractDir(const std::string& sExtractDir) { extractDir_ = sExtractDir; }
std::string CGUnzipFiles::GetLastMessage() const { return code_module::messageLog(); }
void CGUnzipFiles::setQuestions(UnzipQuestions* questions) { questions_ = questions; }
void CGUnzipFiles::setWorkProgress(WorkProgress* progress) { progress_ = progress; }
void CGUnzipFiles::setJournal(WorkJournal* journal) { journal_ = journal; }
void CGUnzipFiles::setStreamingThreshold(std::uint64_t bytes) { streamingThreshold_ = bytes; }

// ---------------------------------------------------------------------------
// Unpacking

namespace {

// Memory that compressed and inflated entries may hold at once; a single
// larger entry may still go when nothing else is held.
constexpr std::uint64_t kMemoryBudget = 64ull * 1024 * 1024;
// Pieces in which data is written and streamed entries are read.
constexpr std::size_t kPiece = 1u << 20;
// Deflate cannot shrink data by more than this factor (258 bytes from one
// bit pair at best), so a larger declared size is a lie.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

// One entry to put in place.
struct Planned {
    zip_uint64_t index = 0;
    std::string name;
    fs::path target;
    fs::path temp;          // beside the target, while unverified
    bool folder = false;
    bool encrypted = false;
    std::uint64_t size = 0;
    std::uint64_t compressedSize = 0;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    // False for entries without a CRC: WinZip AES entries of the AE-2 kind
    // (7-Zip's, and the small ones of WinZip and libzip) store 0, as their
    // MAC protects the data.
    bool crcKnown = true;
    bool macProtected = false;  // WinZip AES
    std::time_t mtime = 0;
    std::string password;
    bool tempWritten = false;
    bool inPlace = false;  // the file at the target equals the entry: left as it is
};

std::string textOf(const fs::path& path)
{
    return platform::fromPath(path);
}

bool cancelled(const WorkProgress* progress)
{
    return progress != nullptr && progress->cancelRequested.load();
}

// A name beside `target` for a file of the unpacking's own: the target's
// name (cut to 80 bytes), a random number and `suffix`, behind ".~".
fs::path sidePathFor(const fs::path& target, const char* suffix)
{
    static std::mutex mutex;
    static std::mt19937_64 random(std::random_device{}());
    std::uint64_t value = 0;
    {
        const std::lock_guard lock(mutex);
        value = random();
    }
    char hex[17];
    static constexpr char digits[] = "0123456789abcdef";
    for (int i = 15; i >= 0; --i) {
        hex[i] = digits[value & 0xF];
        value >>= 4;
    }
    hex[16] = '\0';
    std::string base = platform::fromPath(target.filename());
    if (base.size() > 80) {
        base.resize(80);
    }
    return target.parent_path() / platform::toPath(".~" + base + "." + hex + suffix);
}

void setModificationTime(const fs::path& path, std::time_t mtime)
{
    std::error_code ec;
    fs::last_write_time(path, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(mtime)), ec);
}

// The most a file is given in one write. The system takes a large write
// into large blocks of fresh memory, which cost it more than the pages of
// small ones: unpacking 200 MB in writes of 4 MB took it four times the
// system time of writes of 64 KB (Linux 6, ext4).
constexpr std::size_t kWritePiece = 64u << 10;

// Writes bytes to an open file; false when any byte could not be written.
bool writeAll(std::ofstream& out, const unsigned char* data, std::uint64_t size, WorkProgress* progress)
{
    std::uint64_t done = 0;
    while (out && done < size) {
        const std::uint64_t piece = std::min<std::uint64_t>(size - done, kWritePiece);
        out.write(reinterpret_cast<const char*>(data + done), static_cast<std::streamsize>(piece));
        done += piece;
        if (progress != nullptr) {
            progress->bytesDone += piece;
        }
    }
    return static_cast<bool>(out);
}

// Writes bytes to a new file; false when any byte could not be written.
bool writeWhole(const fs::path& path, const unsigned char* data, std::uint64_t size, WorkProgress* progress)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    writeAll(out, data, size, progress);
    out.close();
    return !out.fail();
}

// The outcome of the unpacking phase, shared by the worker threads.
struct Failure {
    std::mutex mutex;
    std::int32_t result = kUnzipOk;
    std::string name;  // the entry, or the file or folder that could not be written
    std::string message;

    void set(std::int32_t code, const std::string& what, const std::string& text)
    {
        const std::lock_guard lock(mutex);
        if (result == kUnzipOk) {
            result = code;
            name = what;
            message = text;
        }
    }
    bool any()
    {
        const std::lock_guard lock(mutex);
        return result != kUnzipOk;
    }
};

// Inflates entries read by the archive thread on worker threads and writes
// them to their temporary files.
class InflatePool {
public:
    struct Job {
        Planned* entry;
        ScratchBuffer compressed;
        std::uint64_t reserved;
    };

    InflatePool(Failure& failure, WorkProgress* progress, bool test) : failure_(failure), progress_(progress), test_(test)
    {
        const unsigned count = std::min(8u, std::max(1u, std::thread::hardware_concurrency()));
        // Made here, so running out of memory reaches the caller.
        for (unsigned i = 0; i < count; ++i) {
            workers_.push_back(std::make_unique<Worker>());
        }
        for (auto& worker : workers_) {
            threads_.emplace_back([this, w = worker.get()] { work(*w); });
        }
    }

    ~InflatePool() { finish(); }

    // Waits until the memory budget admits `bytes` more. The inflated bytes
    // of a job are the worker's buffer, which it keeps between jobs; one
    // job larger than the budget goes alone, with no other buffer kept.
    void reserve(std::uint64_t bytes)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return held_ == 0 || held_ + bytes <= kMemoryBudget; });
        if (held_ == 0 && bytes > kMemoryBudget) {
            for (auto& worker : workers_) {
                worker->scratch.release();  // no job runs: every worker waits
            }
            spare_.release();
        }
        held_ += bytes;
    }

    // A buffer for the compressed bytes of the next job: the one a worker
    // was last done with, or none yet.
    ScratchBuffer spareBuffer()
    {
        const std::lock_guard lock(mutex_);
        return std::move(spare_);
    }

    // Gives back a reservation that no job will use.
    void unreserve(std::uint64_t bytes)
    {
        {
            const std::lock_guard lock(mutex_);
            held_ -= bytes;
        }
        changed_.notify_all();
    }

    void push(Job job)
    {
        {
            const std::lock_guard lock(mutex_);
            queue_.push_back(std::move(job));
        }
        changed_.notify_all();
    }

    // Waits for every queued job and stops the workers.
    void finish()
    {
        {
            const std::lock_guard lock(mutex_);
            closing_ = true;
        }
        changed_.notify_all();
        for (std::thread& thread : threads_) {
            if (thread.joinable()) {
                thread.join();
            }
        }
    }

private:
    struct Worker {
        Inflater inflater;
        ScratchBuffer scratch;  // the inflated bytes of its job
    };

    void work(Worker& worker)
    {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return closing_ || !queue_.empty(); });
                if (queue_.empty()) {
                    return;
                }
                job = std::move(queue_.front());
                queue_.pop_front();
            }
            if (!failure_.any() && !cancelled(progress_)) {
                run(worker, job);
            }
            worker.scratch.trim();
            job.compressed.trim();
            {
                const std::lock_guard lock(mutex_);
                held_ -= job.reserved;
                if (spare_.capacity() < job.compressed.capacity()) {
                    spare_ = std::move(job.compressed);
                }
            }
            changed_.notify_all();
        }
    }

    void run(Worker& worker, Job& job)
    {
        Planned& entry = *job.entry;
        unsigned char* const data = worker.scratch.get(static_cast<std::size_t>(entry.size));
        if (data == nullptr) {
            failure_.set(kUnzipNoMemory, entry.name, "error: out of memory for " + entry.name + "\r\n");
            return;
        }
        if (!worker.inflater.inflateExactly(job.compressed.data(), static_cast<std::size_t>(entry.compressedSize), data,
                                            static_cast<std::size_t>(entry.size))) {
            failure_.set(kUnzipDamaged, entry.name, "error: invalid compressed data to inflate " + entry.name + "\r\n");
            return;
        }
        if (entry.crcKnown && crc32Of(data, static_cast<std::size_t>(entry.size)) != entry.crc) {
            failure_.set(kUnzipDamaged, entry.name, "error: bad CRC of " + entry.name + "\r\n");
            return;
        }
        if (test_) {
            if (progress_ != nullptr) {
                progress_->bytesDone += entry.size;
            }
            return;
        }
        entry.tempWritten = true;  // something may exist from here on
        if (!writeWhole(entry.temp, data, entry.size, progress_)) {
            failure_.set(kUnzipDiskError, textOf(entry.target), "error: cannot write " + textOf(entry.target) + "\r\n");
            return;
        }
        setModificationTime(entry.temp, entry.mtime);
    }

    Failure& failure_;
    WorkProgress* progress_;
    bool test_;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    ScratchBuffer spare_;  // kept for the next job's compressed bytes
    std::uint64_t held_ = 0;
    bool closing_ = false;
};

// Reads an entry's bytes from libzip (compressed ones as they are stored).
bool readEntry(zip_t* archive, const Planned& entry, zip_flags_t flags, unsigned char* out, std::uint64_t size)
{
    zip_file_t* file = zip_fopen_index(archive, entry.index, flags);
    if (file == nullptr) {
        return false;
    }
    std::uint64_t done = 0;
    while (done < size) {
        const zip_int64_t got = zip_fread(file, out + done, size - done);
        if (got <= 0) {
            break;
        }
        done += static_cast<std::uint64_t>(got);
    }
    zip_fclose(file);
    return done == size;
}

// True when an AES entry's data matches its MAC. libzip checks the MAC as
// it decrypts; read without inflating, a mismatch is the only way the read
// can fail with a CRC error (inflated, a CRC error may also come from the
// CRC that libzip before 1.9 checks although an AE-2 entry has none).
bool macMatches(zip_t* archive, const Planned& entry, const WorkProgress* progress)
{
    zip_file_t* file = zip_fopen_index_encrypted(archive, entry.index, ZIP_FL_COMPRESSED, entry.password.c_str());
    if (file == nullptr) {
        return false;
    }
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kPiece]);
    zip_int64_t got = 0;
    do {
        got = zip_fread(file, buffer.get(), kPiece);
    } while (got > 0 && !cancelled(progress));
    zip_fclose(file);
    return got == 0 || cancelled(progress);
}

// Unpacks one entry through libzip (stored, encrypted, other methods and
// large entries) into its temporary file, checking size and CRC on the way.
void streamEntry(zip_t* archive, Planned& entry, bool test, WorkProgress* progress, Failure& failure)
{
    if (entry.macProtected && !macMatches(archive, entry, progress)) {
        failure.set(kUnzipDamaged, entry.name, "error: the data of " + entry.name +
                                       " is damaged or was changed (its authentication code does not match)\r\n");
        return;
    }
    zip_file_t* file = entry.encrypted
                           ? zip_fopen_index_encrypted(archive, entry.index, 0, entry.password.c_str())
                           : zip_fopen_index(archive, entry.index, 0);
    if (file == nullptr) {
        failure.set(kUnzipDamaged, entry.name,
                    "error: cannot read " + entry.name + ": " + zip_strerror(archive) + "\r\n");
        return;
    }
    std::ofstream out;
    if (!test) {
        entry.tempWritten = true;
        out.open(entry.temp, std::ios::binary | std::ios::trunc);
    }
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kPiece]);
    std::uint64_t done = 0;
    std::uint32_t crc = 0;
    bool ok = test || static_cast<bool>(out);
    while (ok) {
        if (cancelled(progress) || failure.any()) {
            ok = false;
            break;
        }
        const zip_int64_t got = zip_fread(file, buffer.get(), kPiece);
        if (got < 0 && !entry.crcKnown && zip_error_code_zip(zip_file_get_error(file)) == ZIP_ER_CRC) {
            break;  // the CRC the entry does not have; its MAC matched above
        }
        if (got < 0) {
            failure.set(kUnzipDamaged, entry.name, "error: invalid data of " + entry.name + ": " +
                                           zip_error_strerror(zip_file_get_error(file)) + "\r\n");
            ok = false;
            break;
        }
        if (got == 0) {
            break;
        }
        const auto count = static_cast<std::size_t>(got);
        done += count;
        if (done > entry.size) {
            break;  // more data than declared: caught below
        }
        crc = crc32Of(buffer.get(), count, crc);
        if (!test) {
            ok = writeAll(out, buffer.get(), count, progress);
        } else if (progress != nullptr) {
            progress->bytesDone += count;
        }
    }
    zip_fclose(file);
    if (!test) {
        out.close();
        if (ok && out.fail()) {
            failure.set(kUnzipDiskError, textOf(entry.target), "error: cannot write " + textOf(entry.target) + "\r\n");
            return;
        }
    }
    if (ok && (done != entry.size || (entry.crcKnown && crc != entry.crc))) {
        failure.set(kUnzipDamaged, entry.name, "error: bad CRC or size of " + entry.name + "\r\n");
        return;
    }
    if (ok && !test) {
        setModificationTime(entry.temp, entry.mtime);
    }
}

// Creates a folder and its missing parents, remembering which it made.
bool makeFolders(const fs::path& folder, std::vector<fs::path>& created)
{
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path p = folder; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path()) {
            break;
        }
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!fs::create_directory(*it, ec) && !fs::is_directory(*it, ec)) {
            return false;
        }
        created.push_back(*it);
    }
    return fs::is_directory(folder, ec);
}

void removeTemps(std::vector<Planned>& plan)
{
    for (Planned& entry : plan) {
        if (entry.tempWritten) {
            std::error_code ec;
            fs::remove(entry.temp, ec);
            entry.tempWritten = false;
        }
    }
}

void removeCreatedFolders(const std::vector<fs::path>& created)
{
    for (auto it = created.rbegin(); it != created.rend(); ++it) {
        std::error_code ec;
        fs::remove(*it, ec);  // only removes an empty folder
    }
}

// The type bits of a Unix mode kept in the high half of the external
// attributes, and the Windows reparse-point attribute.
constexpr std::uint32_t kUnixTypeMask = 0170000;
constexpr std::uint32_t kUnixRegular = 0100000;
constexpr std::uint32_t kUnixFolder = 0040000;
constexpr std::uint32_t kWindowsReparsePoint = 0x400;

// Why an entry is not a plain file or folder; empty when it is.
std::string kindProblem(zip_t* archive, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) {
        return "unreadable attributes";
    }
    if (system == ZIP_OPSYS_UNIX) {
        const std::uint32_t type = (attributes >> 16) & kUnixTypeMask;
        if (type != 0 && type != kUnixRegular && type != kUnixFolder) {
            return "symbolic link or device entry";
        }
    }
    if ((attributes & kWindowsReparsePoint) != 0 &&
        (system == ZIP_OPSYS_DOS || system == ZIP_OPSYS_WINDOWS_NTFS || system == ZIP_OPSYS_VFAT)) {
        return "symbolic link or device entry";
    }
    return {};
}

std::int32_t refuse(UnzipReport& report, const std::string& name, const std::string& reason)
{
    report.refusedEntry = name;
    report.refusedReason = reason;
    code_module::printMessage("error: unsafe archive refused, nothing written: " + name + " (" + reason + ")\r\n");
    return kUnzipRefused;
}

// Removes a file of the unpacking's own, read-only or not (a link itself,
// not what it points to).
void removeOwnFile(const fs::path& path)
{
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);  // read-only on Windows
    }
    fs::remove(path, ec);
}

// 4. The verified files take their targets' places. A file they replace is
// renamed aside first and removed only once every file is in place; when a
// rename fails, or a cancel comes, every file goes back as it was.
std::int32_t putInPlace(std::vector<Planned>& work, const std::vector<fs::path>& createdFolders,
                        WorkProgress* progress, WorkJournal* journal, UnzipReport& report)
{
    struct Placed {
        const Planned* entry;
        fs::path aside;  // the file it replaced, until all are in place
    };
    std::vector<Placed> placed;
    std::int32_t result = kUnzipOk;
    std::string why;
    for (Planned& entry : work) {
        if (entry.folder) {
            continue;
        }
        if (cancelled(progress)) {
            result = kUnzipCancelled;
            break;
        }
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(entry.target, ec);
        if (fs::is_directory(status)) {
            result = kUnzipDiskError;
            report.failedName = textOf(entry.target);
            why = "error: a folder is in the way of " + textOf(entry.target) + "\r\n";
            break;
        }
        Placed now{&entry, {}};
        if (fs::exists(status)) {
            // The new file keeps what the user set on the old one.
            if (!platform::copyFileAttributes(entry.target, entry.temp)) {
                code_module::printMessage("warning: could not keep the permissions of " + textOf(entry.target) +
                                          "\r\n");
            }
            now.aside = sidePathFor(entry.target, ".old");
            if (journal != nullptr) {
                journal->aside(entry.target, now.aside);
            }
            fs::rename(entry.target, now.aside, ec);
            if (ec) {
                result = kUnzipDiskError;
                report.failedName = textOf(entry.target);
                why = "error: cannot replace " + textOf(entry.target) + ": " + ec.message() + "\r\n";
                break;
            }
        }
        if (journal != nullptr) {
            journal->placing(entry.target, entry.temp);
        }
        fs::rename(entry.temp, entry.target, ec);
        if (ec) {
            result = kUnzipDiskError;
            report.failedName = textOf(entry.target);
            why = "error: cannot write " + textOf(entry.target) + ": " + ec.message() + "\r\n";
            if (!now.aside.empty()) {
                placed.push_back(now);  // put back below
            }
            break;
        }
        entry.tempWritten = false;
        placed.push_back(now);
    }
    if (result == kUnzipOk) {
        if (journal != nullptr) {
            journal->committed();
        }
        for (const Placed& done : placed) {
            if (!done.aside.empty()) {
                removeOwnFile(done.aside);
            }
        }
        report.filesRestored = placed.size();
        if (progress != nullptr) {
            progress->filesWritten = placed.size();
        }
        return kUnzipOk;
    }
    // Back as it was: the new files go, the replaced ones return.
    std::string notBack;
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
        std::error_code ec;
        if (it->aside.empty()) {
            fs::remove(it->entry->target, ec);
        } else {
            fs::rename(it->aside, it->entry->target, ec);
        }
        if (ec) {
            notBack += "error: could not put back " + textOf(it->entry->target) +
                       (it->aside.empty() ? std::string() : "; the file as it was is " + textOf(it->aside)) + "\r\n";
        }
    }
    removeTemps(work);
    removeCreatedFolders(createdFolders);
    report.notPutBack = !notBack.empty();
    code_module::printMessage(why + notBack);
    if (result == kUnzipCancelled) {
        code_module::printMessage("unzip: cancelled, nothing was restored\r\n");
    } else if (notBack.empty()) {
        code_module::printMessage("error: nothing was restored\r\n");
    }
    return result;
}

void checkFits16(std::int32_t value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) {
        throw ZipError(kErrorOverflow, "CodeModule::VBUnzip", "Overflow");
    }
}

// Pieces in which files are read to be compared with entries.
constexpr std::size_t kComparePiece = 1u << 20;

// A file compared with an entry by its CRC.
struct CrcCheck {
    Planned* entry = nullptr;
    bool equal = false;
};

// Reads each file whole and compares its CRC with its entry's, the biggest
// files first, on this thread and worker threads.
void compareCrcs(std::vector<CrcCheck>& checks, WorkProgress* progress)
{
    std::sort(checks.begin(), checks.end(),
              [](const CrcCheck& a, const CrcCheck& b) { return a.entry->size > b.entry->size; });
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kComparePiece]);
        for (std::size_t i = next++; i < checks.size() && !cancelled(progress); i = next++) {
            CrcCheck& check = checks[i];
            std::ifstream in(check.entry->target, std::ios::binary);
            std::uint32_t crc = 0;
            std::uint64_t done = 0;
            while (in && done < check.entry->size && !cancelled(progress)) {
                const auto want =
                    static_cast<std::streamsize>(std::min<std::uint64_t>(kComparePiece, check.entry->size - done));
                in.read(reinterpret_cast<char*>(buffer.get()), want);
                const auto got = static_cast<std::size_t>(in.gcount());
                crc = crc32Of(buffer.get(), got, crc);
                done += got;
                if (progress != nullptr) {
                    progress->bytesDone += got;
                }
            }
            check.equal = done == check.entry->size && crc == check.entry->crc &&
                          in.peek() == std::ifstream::traits_type::eof();
        }
    };
    const unsigned helpers = std::min<unsigned>(std::min(8u, std::max(1u, std::thread::hardware_concurrency())),
                                                static_cast<unsigned>(checks.size())) - (checks.empty() ? 0 : 1);
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < helpers; ++i) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& thread : threads) {
        thread.join();
    }
}

// True when an entry unpacks to exactly the bytes of its target (an entry
// without a CRC: its MAC must match too).
bool sameBytes(zip_t* archive, const Planned& entry, WorkProgress* progress)
{
    if (entry.macProtected && !macMatches(archive, entry, progress)) {
        return false;
    }
    zip_file_t* file = entry.encrypted ? zip_fopen_index_encrypted(archive, entry.index, 0, entry.password.c_str())
                                       : zip_fopen_index(archive, entry.index, 0);
    std::ifstream in(entry.target, std::ios::binary);
    if (file == nullptr || !in) {
        if (file != nullptr) {
            zip_fclose(file);
        }
        return false;
    }
    const std::unique_ptr<unsigned char[]> unpacked(new unsigned char[kComparePiece]);
    const std::unique_ptr<unsigned char[]> onDisk(new unsigned char[kComparePiece]);
    std::uint64_t done = 0;
    bool same = true;
    while (same && !cancelled(progress)) {
        const zip_int64_t got = zip_fread(file, unpacked.get(), kComparePiece);
        if (got < 0 && !entry.crcKnown && zip_error_code_zip(zip_file_get_error(file)) == ZIP_ER_CRC) {
            break;  // the CRC the entry does not have; its MAC matched above
        }
        if (got <= 0) {
            same = got == 0;
            break;
        }
        const auto count = static_cast<std::streamsize>(got);
        in.read(reinterpret_cast<char*>(onDisk.get()), count);
        same = in.gcount() == count && std::memcmp(unpacked.get(), onDisk.get(), static_cast<std::size_t>(got)) == 0;
        done += static_cast<std::uint64_t>(got);
        if (progress != nullptr) {
            progress->bytesDone += static_cast<std::uint64_t>(got);
        }
    }
    zip_fclose(file);
    return same && !cancelled(progress) && done == entry.size && in.peek() == std::ifstream::traits_type::eof();
}

}  // namespace

// ---------------------------------------------------------------------------
// The unpacking, step by step

struct Unpacking::State {
    fs::path archivePath;
    fs::path folder;
    UnpackOptions options;
    UnzipQuestions* questions = nullptr;
    WorkJournal* journal = nullptr;
    zip_t* archive = nullptr;
    std::vector<Planned> plan;  // every entry, once checked
    std::vector<Planned> work;  // what is to be written, once asked
    std::uint64_t files = 0;
    std::string password;
    bool passwordRefused = false;
    UnzipReport report;

    ~State()
    {
        if (archive != nullptr) {
            zip_discard(archive);
        }
    }

    // Gives an encrypted entry the password that opens it: the last one
    // given, or one asked for until it fits or the user refuses (then no
    // more questions for the rest of the unpacking).
    bool obtainPassword(Planned& entry)
    {
        for (;;) {
            if (!password.empty()) {
                zip_file_t* file = zip_fopen_index_encrypted(archive, entry.index, 0, password.c_str());
                if (file != nullptr) {
                    zip_fclose(file);
                    entry.password = password;
                    return true;
                }
            }
            if (passwordRefused || questions == nullptr) {
                return false;
            }
            const std::optional<std::string> answer = questions->password(entry.name);
            if (!answer || answer->empty()) {
                passwordRefused = true;
                return false;
            }
            password = *answer;
        }
    }
};

Unpacking::Unpacking(fs::path archive, fs::path folder, UnpackOptions options) : state_(std::make_unique<State>())
{
    state_->archivePath = std::move(archive);
    state_->folder = std::move(folder);
    state_->options = options;
}

Unpacking::~Unpacking() = default;

void Unpacking::setQuestions(UnzipQuestions* questions) { state_->questions = questions; }
void Unpacking::setJournal(WorkJournal* journal) { state_->journal = journal; }
std::uint64_t Unpacking::fileCount() const { return state_->files; }
const UnzipReport& Unpacking::report() const { return state_->report; }

std::uint64_t Unpacking::bytesOfFiles() const
{
    std::uint64_t total = 0;
    for (const Planned& entry : state_->plan) {
        total += entry.size;
    }
    return total;
}

std::uint64_t Unpacking::bytesToUnpack() const
{
    std::uint64_t total = 0;
    for (const Planned& entry : state_->work) {
        total += entry.size;
    }
    return total;
}

std::vector<fs::path> Unpacking::replacedTargets() const
{
    std::vector<fs::path> targets;
    for (const Planned& entry : state_->work) {
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(entry.target, ec);
        if (!entry.folder && fs::exists(status) && !fs::is_directory(status)) {
            targets.push_back(entry.target);
        }
    }
    return targets;
}

std::int32_t Unpacking::check()
{
    State& s = *state_;
    const UnpackOptions& options = s.options;
    UnzipReport& report = s.report;
    int openError = 0;
    s.archive = zip_open(textOf(s.archivePath).c_str(), ZIP_RDONLY, &openError);
    if (s.archive == nullptr) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        code_module::printMessage("unzip: cannot open " + textOf(s.archivePath) + ": " + zip_error_strerror(&error) +
                                  "\r\n");
        zip_error_fini(&error);
        return kUnzipNotAnArchive;
    }
    std::error_code ec;
    const std::uint64_t archiveSize = fs::file_size(s.archivePath, ec);
    const zip_int64_t count = zip_get_num_entries(s.archive, 0);

    // Every entry is checked before anything is written.
    for (zip_int64_t i = 0; i < count; ++i) {
        Planned entry;
        entry.index = static_cast<zip_uint64_t>(i);
        zip_stat_t st;
        if (zip_stat_index(s.archive, entry.index, 0, &st) != 0 || st.name == nullptr) {
            code_module::printMessage(std::string("error: cannot read the entry list: ") + zip_strerror(s.archive) +
                                      "\r\n");
            return kUnzipNotAnArchive;
        }
        entry.name = st.name;
        std::string name = entry.name;
        if (options.spaceToUnderscore) {
            std::replace(name.begin(), name.end(), ' ', '_');
        }
        entry.folder = !name.empty() && (name.back() == '/' || name.back() == '\\');
        std::string why;
        std::optional<fs::path> target = checkEntryName(s.folder, name, &why);
        if (!target) {
            return refuse(report, entry.name, why);
        }
        const std::string kind = kindProblem(s.archive, entry.index);
        if (!kind.empty()) {
            return refuse(report, entry.name, kind);
        }
        entry.size = st.size;
        entry.compressedSize = st.comp_size;
        entry.method = st.comp_method;
        entry.crc = st.crc;
        entry.mtime = st.mtime;
        entry.encrypted = st.encryption_method != ZIP_EM_NONE;
        entry.macProtected = st.encryption_method == ZIP_EM_AES_128 || st.encryption_method == ZIP_EM_AES_192 ||
                             st.encryption_method == ZIP_EM_AES_256;
        entry.crcKnown = (st.valid & ZIP_STAT_CRC) != 0 && !(entry.macProtected && st.crc == 0);
        if (entry.compressedSize > archiveSize ||
            (entry.method == ZIP_CM_STORE && !entry.encrypted && entry.size != entry.compressedSize) ||
            (entry.method == ZIP_CM_DEFLATE && entry.size > entry.compressedSize * kMaxDeflateRatio + 64) ||
            (entry.folder && entry.size != 0)) {
            return refuse(report, entry.name, "sizes that do not fit the data");
        }
        if (!zip_compression_method_supported(static_cast<zip_int32_t>(entry.method), 0)) {
            report.failedName = entry.name;
            code_module::printMessage("error: unsupported compression method of " + entry.name + "\r\n");
            return kUnzipDamaged;
        }
        if (!options.honorDirectories) {
            if (entry.folder) {
                continue;
            }
            target = s.folder / target->filename();
        }
        entry.target = *target;
        s.files += entry.folder ? 0 : 1;
        s.plan.push_back(std::move(entry));
    }

    // Every name can be made here, and no two entries need one place.
    std::vector<PlannedTarget> targets;
    targets.reserve(s.plan.size());
    for (const Planned& entry : s.plan) {
        targets.push_back({entry.name, entry.target, entry.folder});
    }
    if (const std::optional<TargetProblem> problem = checkTargets(s.folder, targets)) {
        report.refusedEntry = problem->entry;
        report.refusedReason = problem->reason;
        report.refusedUnsafe = false;
        code_module::printMessage("error: the archive cannot be restored here, nothing written: " + problem->entry +
                                  " (" + problem->reason + ")\r\n");
        return kUnzipRefused;
    }
    return kUnzipOk;
}

std::int32_t Unpacking::compare(WorkProgress* progress)
{
    State& s = *state_;
    // Only a plain file of the entry's size can be equal to it: nothing
    // there is a file added, a folder is in the way (ask says so), and a
    // link is replaced by the file itself.
    std::vector<CrcCheck> checks;
    std::vector<Planned*> byBytes;
    std::uint64_t total = 0;
    for (Planned& entry : s.plan) {
        std::error_code ec;
        if (entry.folder || !fs::is_regular_file(fs::symlink_status(entry.target, ec)) ||
            fs::file_size(entry.target, ec) != entry.size || ec) {
            continue;
        }
        if (entry.crcKnown) {
            checks.push_back({&entry, false});
        } else {
            byBytes.push_back(&entry);
        }
        total += entry.size;
    }
    if (progress != nullptr) {
        progress->bytesDone = 0;
        progress->bytesTotal = total;
    }

    compareCrcs(checks, progress);
    std::vector<Planned*> same;
    for (const CrcCheck& check : checks) {
        if (check.equal) {
            same.push_back(check.entry);
        }
    }
    // Entries without a CRC are unpacked here, on this thread (which asks
    // for their password).
    for (Planned* entry : byBytes) {
        if (cancelled(progress)) {
            break;
        }
        if ((!entry->encrypted || s.obtainPassword(*entry)) && sameBytes(s.archive, *entry, progress)) {
            same.push_back(entry);
        }
    }
    if (cancelled(progress)) {
        code_module::printMessage("unzip: cancelled, nothing was restored\r\n");
        return kUnzipCancelled;
    }
    for (Planned* entry : same) {
        entry->inPlace = true;
    }
    s.report.filesInPlace = same.size();
    return kUnzipOk;
}

std::int32_t Unpacking::ask()
{
    State& s = *state_;
    const UnpackOptions& options = s.options;
    UnzipReport& report = s.report;
    bool replaceNone = false;
    for (Planned& entry : s.plan) {
        if (entry.inPlace) {
            continue;
        }
        if (entry.folder) {
            s.work.push_back(std::move(entry));
            continue;
        }
        std::error_code ec;
        const fs::file_status status = fs::status(entry.target, ec);
        if (fs::is_directory(status)) {
            report.failedName = textOf(entry.target);
            code_module::printMessage("error: a folder is in the way of " + textOf(entry.target) + "\r\n");
            return kUnzipDiskError;
        }
        if (!options.test && fs::exists(status)) {
            bool replace = options.overwrite;
            if (options.promptOverwrite && s.questions != nullptr) {
                replace = false;
                if (!replaceNone) {
                    const int answer = s.questions->replaceFile(textOf(entry.target));
                    replace = answer == kReplaceYes;
                    replaceNone = answer == kReplaceCancel;
                }
            }
            if (!replace) {
                ++report.filesKept;
                continue;
            }
        }
        if (entry.encrypted && entry.password.empty() && !s.obtainPassword(entry)) {
            ++report.filesSkipped;
            code_module::printMessage("skipping: " + entry.name + "  incorrect password\r\n");
            continue;
        }
        s.work.push_back(std::move(entry));
    }
    s.plan.clear();
    return kUnzipOk;
}

std::int32_t Unpacking::unpack(WorkProgress* progress)
{
    State& s = *state_;
    const UnpackOptions& options = s.options;
    std::vector<Planned>& work = s.work;
    if (progress != nullptr) {
        progress->bytesDone = 0;
        progress->bytesTotal = bytesToUnpack();
        progress->filesWritten = 0;
    }

    // Every file to a temporary file beside its target, verified.
    std::vector<fs::path> createdFolders;
    Failure failure;
    {
        InflatePool pool(failure, progress, options.test);
        for (Planned& entry : work) {
            if (failure.any() || cancelled(progress)) {
                break;
            }
            if (options.test) {
                if (entry.folder) {
                    continue;
                }
            } else {
                const fs::path folder = entry.folder ? entry.target : entry.target.parent_path();
                if (!makeFolders(folder, createdFolders)) {
                    failure.set(kUnzipDiskError, textOf(folder),
                                "error: cannot create folder " + textOf(folder) + "\r\n");
                    break;
                }
                if (entry.folder) {
                    continue;
                }
                entry.temp = sidePathFor(entry.target, ".tmp");
                if (s.journal != nullptr) {
                    s.journal->temporary(entry.temp);
                }
            }
            const bool whole =
                entry.method == ZIP_CM_DEFLATE && !entry.encrypted && entry.size <= options.streamingThreshold;
            if (!whole) {
                streamEntry(s.archive, entry, options.test, progress, failure);
                continue;
            }
            const std::uint64_t reserved = entry.compressedSize + entry.size;
            pool.reserve(reserved);
            ScratchBuffer compressed = pool.spareBuffer();
            unsigned char* const bytes = compressed.get(static_cast<std::size_t>(entry.compressedSize));
            if (bytes == nullptr) {
                pool.unreserve(reserved);
                failure.set(kUnzipNoMemory, entry.name, "error: out of memory for " + entry.name + "\r\n");
                break;
            }
            if (!readEntry(s.archive, entry, ZIP_FL_COMPRESSED, bytes, entry.compressedSize)) {
                pool.unreserve(reserved);
                failure.set(kUnzipDamaged, entry.name,
                            "error: cannot read " + entry.name + ": " + zip_strerror(s.archive) + "\r\n");
                break;
            }
            pool.push({&entry, std::move(compressed), reserved});
        }
        pool.finish();
    }
    if (failure.any() || cancelled(progress)) {
        removeTemps(work);
        removeCreatedFolders(createdFolders);
        if (failure.any()) {
            s.report.failedName = failure.name;
            code_module::printMessage(failure.message);
            code_module::printMessage("error: nothing was restored\r\n");
            return failure.result;
        }
        code_module::printMessage("unzip: cancelled, nothing was restored\r\n");
        return kUnzipCancelled;
    }

    if (!options.test) {
        const std::int32_t placed = putInPlace(work, createdFolders, progress, s.journal, s.report);
        if (placed != kUnzipOk) {
            return placed;
        }
    }
    if (s.report.filesSkipped > 0) {
        return kUnzipBadPassword;
    }
    return kUnzipOk;
}

// ---------------------------------------------------------------------------

std::int32_t CGUnzipFiles::Unzip(const std::string& sZipFileName, const std::string& sExtractDir)
{
    if (!sZipFileName.empty()) {
        zipFileName_ = sZipFileName;
    }
    if (!sExtractDir.empty()) {
        extractDir_ = sExtractDir;
    }
    try {
        checkFits16(messageLevel_);
        checkFits16(extractList_);
        checkFits16(privilege_);

        code_module::clearMessageLog();
        report_ = UnzipReport();
        if (progress_ != nullptr) {
            progress_->bytesDone = 0;
            progress_->bytesTotal = 0;
            progress_->filesWritten = 0;
        }
        std::string folder = extractDir_;
        if (fs::path::preferred_separator == '/') {
            std::replace(folder.begin(), folder.end(), '\\', '/');
        }
        UnpackOptions options;
        options.spaceToUnderscore = spaceToUnderscore_ == 1;
        options.promptOverwrite = promptOverwrite_ == 1;
        options.test = testZip_ == 1;
        options.honorDirectories = honorDirectories_ == 1;
        options.overwrite = overWrite_ == 1;
        options.streamingThreshold = streamingThreshold_;
        Unpacking unpacking(platform::toPath(zipFileName_), platform::toPath(folder.empty() ? std::string(".") : folder),
                            options);
        unpacking.setQuestions(questions_);
        unpacking.setJournal(journal_);
        std::int32_t result = unpacking.check();
        if (result == kUnzipOk) {
            result = unpacking.ask();
        }
        if (result == kUnzipOk) {
            result = unpacking.unpack(progress_);
        }
        report_ = unpacking.report();
        return result;
    } catch (const ZipError& error) {
        throw error.withSource("CGUnZipFiles::Unzip");
    } catch (const std::bad_alloc&) {
        throw ZipError(kErrorOutOfMemory, "CGUnZipFiles::Unzip", kOutOfMemoryText);
    }
}

std::string describeFailure(std::int32_t result, const UnzipReport& report)
{
    const std::string name = "\"" + report.failedName + "\"";
    switch (result) {
    case kUnzipOk:
    case kUnzipCancelled:
        return {};
    case kUnzipDamaged:
        return report.failedName.empty() ? "The backup archive is damaged."
                                         : "The backup archive is damaged: its file " + name + " cannot be read.";
    case kUnzipDiskError:
        return "The file or folder " + name + " could not be written.";
    case kUnzipNoMemory:
        return "There was not enough memory to unpack " + name + ".";
    case kUnzipNotAnArchive:
        return "The backup archive could not be read: it is missing, unreadable or not a zip archive.";
    case kUnzipBadPassword:
        return "The password was refused or wrong: " + std::to_string(report.filesSkipped) +
               " encrypted files were left as they were.";
    case kUnzipRefused:
        return "The backup archive holds the file \"" + report.refusedEntry + "\", which cannot be restored (" +
               report.refusedReason + ").";
    default:
        return "The backup archive could not be unpacked.";
    }
}

}  // namespace gm::backup
