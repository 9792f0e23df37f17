#include "backup/zip_builder.h"

#include <zip.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

#include "backup/archive_writer.h"
#include "backup/deflate.h"
#include "backup/entry_reuse.h"
#include "backup/message_log.h"
#include "backup/name_case.h"
#include "backup/zip_error.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace gm::backup {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------
// CGZipFiles

CGZipFiles::CGZipFiles() : files_{kPlaceholderName}, keys_{upperCaseName(kPlaceholderName)} {}

CGZipFiles::~CGZipFiles() = default;

bool CGZipFiles::RecurseFolders() const { return recurse_ == 1; }
void CGZipFiles::setRecurseFolders(bool bRecurse) { recurse_ = bRecurse ? 1 : 0; }
std::string CGZipFiles::ZipFileName() const { return zipFileName_; }
void CGZipFiles::setZipFileName(const std::string& sZipFileName) { zipFileName_ = sZipFileName; }
bool CGZipFiles::Encrypted() const { return encrypt_ == 1; }
void CGZipFiles::setEncrypted(bool bEncrypt) { encrypt_ = bEncrypt ? 1 : 0; }
bool CGZipFiles::IncludeSystemFiles() const { return includeSystem_ == 1; }
void CGZipFiles::setIncludeSystemFiles(bool bInclude) { includeSystem_ = bInclude ? 1 : 0; }
std::string CGZipFiles::RootDirectory() const { return rootDirectory_; }
void CGZipFiles::setRootDirectory(const std::string& sRootDir) { rootDirectory_ = sRootDir; }
bool CGZipFiles::UpdatingZip() const { return updating_ == 1; }
void CGZipFiles::setUpdatingZip(bool bUpdating) { updating_ = bUpdating ? 1 : 0; }

std::int32_t CGZipFiles::ZipFileCount() const
{
    return static_cast<std::int32_t>(files_.size()) - 1;
}

void CGZipFiles::AddFile(const std::string& sFileName)
{
    std::string key = upperCaseName(sFileName);
    if (std::find(keys_.begin(), keys_.end(), key) != keys_.end()) {
        throw ZipError(kErrorAlreadyInList, "CGZip::AddFile", "File is already in Zip List");
    }
    files_.push_back(sFileName);
    keys_.push_back(std::move(key));
}

void CGZipFiles::RemoveFile(const std::string& sFileName)
{
    const auto found = std::find(keys_.begin(), keys_.end(), upperCaseName(sFileName));
    if (found == keys_.end()) {
        throw ZipError(kErrorNotInList, "CGZip::RemoveFile", "File is not in Zip List");
    }
    files_.erase(files_.begin() + (found - keys_.begin()));
    keys_.erase(found);
}

std::vector<std::string> CGZipFiles::fileList() const { return files_; }
const std::vector<std::string>& CGZipFiles::leftOut() const { return leftOut_; }

ZipRequest CGZipFiles::buildRequest() const
{
    if (files_.size() > static_cast<std::size_t>(kNameTableSlots)) {
        throw ZipError(kErrorSubscriptOutOfRange, "CGZipFiles::MakeZipFile", "Subscript out of range");
    }
    ZipRequest request;
    request.names = files_;
    request.archivePath = zipFileName_;
    request.recurseFolders = recurse_ == 1;
    request.updating = updating_ == 1;
    request.rootDirectory = upperCaseName(rootDirectory_);
    return request;
}

std::int32_t CGZipFiles::MakeZipFile()
{
    leftOut_.clear();
    try {
        return VBZip(buildRequest(), progress_, streamingThreshold_, &leftOut_);
    } catch (const ZipError& error) {
        throw error.withSource("CGZipFiles::MakeZipFile");
    } catch (const std::bad_alloc&) {
        throw ZipError(kErrorOutOfMemory, "CGZipFiles::MakeZipFile", kOutOfMemoryText);
    }
}

std::string CGZipFiles::GetLastMessage() const { return code_module::messageLog(); }
void CGZipFiles::setWorkProgress(WorkProgress* progress) { progress_ = progress; }
void CGZipFiles::setStreamingThreshold(std::uint64_t bytes) { streamingThreshold_ = bytes; }

// ---------------------------------------------------------------------------
// Entry names

namespace {

// The program's path text as a native path; on POSIX a '\' separates
// folders too, as the game's own paths are written with it.
fs::path nativePath(const std::string& text)
{
    std::string copy = text;
    if (fs::path::preferred_separator == '/') {
        std::replace(copy.begin(), copy.end(), '\\', '/');
    }
    return platform::toPath(copy);
}

std::string genericText(const fs::path& path)
{
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::string entryNameForPath(const std::string& fullPath)
{
    return entryNameFor(nativePath(fullPath));
}

std::string entryNameFor(const fs::path& fullPath)
{
    return genericText(platform::splitAtDriveRoot(fullPath).below);
}

// ---------------------------------------------------------------------------
// Packing

namespace {

// Memory that files being deflated and waiting to be written may hold at
// once; a single larger file may still go when nothing else is held. A file
// being deflated holds about twice its size (read and deflated bytes), so
// this lets two workers deflate a 16 MB replay each, with room for deflated
// bytes waiting to be written; a budget of exactly twice that would let
// only one go at a time.
constexpr std::uint64_t kMemoryBudget = 80ull * 1024 * 1024;
// Pieces in which files are read, so progress and cancel are seen often.
constexpr std::size_t kReadPiece = 4u * 1024 * 1024;

struct PackFile {
    fs::path path;
    std::string entryName;
    std::uint64_t size = 0;  // when listed
    std::time_t mtime = 0;
    bool streamed = false;
    std::optional<ReuseCandidate> reuse;  // an earlier archive's entry that may hold its bytes
};

std::time_t modificationTime(const fs::path& path)
{
    std::error_code ec;
    const fs::file_time_type written = fs::last_write_time(path, ec);
    if (ec) {
        return std::time(nullptr);
    }
    return std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
}

void addProgress(WorkProgress* progress, std::uint64_t bytes)
{
    if (progress != nullptr) {
        progress->bytesDone += bytes;
    }
}

bool cancelled(const WorkProgress* progress)
{
    return progress != nullptr && progress->cancelRequested.load();
}

// One file deflated whole (or its deflated bytes taken from an earlier
// archive) on a worker thread.
struct DeflateJob {
    const PackFile* file = nullptr;
    enum class State { Waiting, Done, Failed } state = State::Waiting;
    std::unique_ptr<unsigned char[]> data;  // the deflated bytes
    std::uint64_t size = 0;                 // uncompressed size as read
    std::uint64_t compressedSize = 0;
    std::uint32_t crc = 0;
    bool reused = false;                    // the bytes came from an earlier archive
    std::uint64_t reserved = 0;             // counted against the memory budget
    std::uint64_t readOffset = 0;           // bytes already handed to libzip
    std::uint64_t progressGiven = 0;
    std::string failure;
    zip_error_t error{};
};

// What one worker thread works with.
struct Worker {
    std::unique_ptr<Deflater> deflater;
    std::unique_ptr<ReuseReader> reader;  // when there are earlier archives
    ScratchBuffer scratch;                // the file's bytes as read, or as inflated to be compared
};

// Deflates files ahead of the archive writer, in list order, on worker
// threads, holding at most the memory budget.
class DeflatePipeline {
public:
    DeflatePipeline(std::vector<DeflateJob>& jobs, WorkProgress* progress, const ReuseSources* sources)
        : jobs_(jobs), progress_(progress)
    {
        unsigned count = std::max(1u, std::thread::hardware_concurrency());
        count = std::min<unsigned>(count, 8);
        // The compressors are made here, so running out of memory reaches
        // the caller instead of ending a worker thread.
        for (unsigned i = 0; i < count && i < jobs_.size(); ++i) {
            Worker worker;
            worker.deflater = std::make_unique<Deflater>();
            if (sources != nullptr) {
                worker.reader = std::make_unique<ReuseReader>(*sources);
            }
            workers_.push_back(std::move(worker));
        }
        for (Worker& worker : workers_) {
            threads_.emplace_back([this, &worker] { work(worker); });
        }
    }

    ~DeflatePipeline() { stop(); }

    void stop()
    {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        for (std::thread& thread : threads_) {
            if (thread.joinable()) {
                thread.join();
            }
        }
    }

    // Waits until the job is deflated (or failed).
    DeflateJob& wait(std::size_t index)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return jobs_[index].state != DeflateJob::State::Waiting; });
        return jobs_[index];
    }

    // The writer is done with a job: its memory goes back to the budget.
    void release(DeflateJob& job)
    {
        {
            const std::lock_guard lock(mutex_);
            job.data.reset();
            held_ -= job.reserved;
            job.reserved = 0;
        }
        changed_.notify_all();
    }

private:
    void work(Worker& worker)
    {
        for (;;) {
            std::size_t index = 0;
            std::uint64_t reserve = 0;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] {
                    if (stopping_ || next_ >= jobs_.size()) {
                        return true;
                    }
                    const std::uint64_t want = reservation(jobs_[next_]);
                    return held_ == 0 || held_ + want <= kMemoryBudget;
                });
                if (stopping_ || next_ >= jobs_.size()) {
                    return;
                }
                index = next_++;
                reserve = reservation(jobs_[index]);
                if (held_ == 0 && reserve > kMemoryBudget) {
                    // One file larger than the budget goes alone, with no
                    // other buffer kept: no job runs, every worker waits.
                    for (Worker& other : workers_) {
                        other.scratch.release();
                    }
                }
                held_ += reserve;
                jobs_[index].reserved = reserve;
            }
            DeflateJob& job = jobs_[index];
            const bool ok = (job.file->reuse && reuse(worker, job)) || run(worker, job);
            worker.scratch.trim();
            {
                const std::lock_guard lock(mutex_);
                job.state = ok ? DeflateJob::State::Done : DeflateJob::State::Failed;
                if (!ok) {
                    job.data.reset();
                }
                // Only the deflated bytes stay held until written.
                const std::uint64_t keep = ok ? job.compressedSize : 0;
                held_ -= job.reserved - std::min(job.reserved, keep);
                job.reserved = std::min(job.reserved, keep);
            }
            changed_.notify_all();
        }
    }

    // Deflating holds the read and the deflated bytes; reusing the stored
    // bytes and the inflated ones.
    static std::uint64_t reservation(const DeflateJob& job)
    {
        const std::uint64_t deflating = job.file->size * 2 + 1024;
        const std::uint64_t reusing = job.file->reuse ? job.file->size + job.file->reuse->compressedSize : 0;
        return std::max(deflating, reusing);
    }

    // Takes the deflated bytes of the earlier archive's entry when they are
    // proven to be the file's; false leaves the job to be deflated.
    bool reuse(Worker& worker, DeflateJob& job)
    {
        const ReuseCandidate& candidate = *job.file->reuse;
        if (!worker.reader) {
            return false;
        }
        job.data.reset(new (std::nothrow) unsigned char[candidate.compressedSize]);
        if (!job.data ||
            !worker.reader->readVerified(candidate, job.file->path, job.data.get(), worker.scratch, progress_)) {
            job.data.reset();
            return false;
        }
        job.size = candidate.size;
        job.compressedSize = candidate.compressedSize;
        job.crc = candidate.crc;
        job.reused = true;
        return true;
    }

    bool run(Worker& worker, DeflateJob& job)
    {
        zip_error_init(&job.error);
        if (cancelled(progress_)) {
            zip_error_set(&job.error, ZIP_ER_CANCELLED, 0);
            return false;
        }
        std::ifstream in(job.file->path, std::ios::binary);
        std::error_code ec;
        const std::uint64_t size = in ? fs::file_size(job.file->path, ec) : 0;
        if (!in || ec) {
            job.failure = "zip error: could not open for reading: " + job.file->entryName + "\r\n";
            zip_error_set(&job.error, ZIP_ER_OPEN, 0);
            return false;
        }
        unsigned char* const input = worker.scratch.get(static_cast<std::size_t>(size));
        if (input == nullptr) {
            zip_error_set(&job.error, ZIP_ER_MEMORY, 0);
            return false;
        }
        std::uint64_t done = 0;
        while (done < size) {
            if (cancelled(progress_)) {
                zip_error_set(&job.error, ZIP_ER_CANCELLED, 0);
                return false;
            }
            const auto piece = static_cast<std::streamsize>(std::min<std::uint64_t>(kReadPiece, size - done));
            in.read(reinterpret_cast<char*>(input + done), piece);
            if (in.gcount() != piece) {
                job.failure = "zip error: could not read: " + job.file->entryName + "\r\n";
                zip_error_set(&job.error, ZIP_ER_READ, 0);
                return false;
            }
            done += static_cast<std::uint64_t>(piece);
        }
        job.size = size;
        job.crc = crc32Of(input, static_cast<std::size_t>(size));
        Deflater& deflater = *worker.deflater;
        const std::size_t bound = deflater.bound(static_cast<std::size_t>(size));
        job.data.reset(new (std::nothrow) unsigned char[bound]);
        if (!job.data) {
            zip_error_set(&job.error, ZIP_ER_MEMORY, 0);
            return false;
        }
        job.compressedSize = deflater.compress(input, static_cast<std::size_t>(size), job.data.get(), bound);
        if (job.compressedSize == 0) {
            zip_error_set(&job.error, ZIP_ER_INTERNAL, 0);
            return false;
        }
        return true;
    }

    std::vector<DeflateJob>& jobs_;
    WorkProgress* progress_;
    std::vector<Worker> workers_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;
    std::uint64_t held_ = 0;
    bool stopping_ = false;
};


// A libzip source handing over one file's already-deflated bytes; the stat
// names the method, both sizes and the CRC, so libzip copies them as they are.
struct DeflatedSource {
    DeflatePipeline* pipeline;
    std::vector<DeflateJob>* jobs;
    std::size_t index;
    WorkProgress* progress;
};

zip_int64_t deflatedSourceCallback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* source = static_cast<DeflatedSource*>(userdata);
    DeflateJob& job = (*source->jobs)[source->index];
    switch (command) {
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    case ZIP_SOURCE_STAT: {
        source->pipeline->wait(source->index);
        if (job.state != DeflateJob::State::Done) {
            return -1;
        }
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_MTIME;
        st->size = job.size;
        st->comp_size = job.compressedSize;
        st->comp_method = ZIP_CM_DEFLATE;
        st->crc = job.crc;
        st->mtime = job.file->mtime;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_OPEN:
        source->pipeline->wait(source->index);
        job.readOffset = 0;
        return job.state == DeflateJob::State::Done ? 0 : -1;
    case ZIP_SOURCE_READ: {
        if (cancelled(source->progress)) {
            zip_error_set(&job.error, ZIP_ER_CANCELLED, 0);
            return -1;
        }
        const std::uint64_t count = std::min<std::uint64_t>(length, job.compressedSize - job.readOffset);
        std::memcpy(data, job.data.get() + job.readOffset, static_cast<std::size_t>(count));
        job.readOffset += count;
        // Progress in uncompressed bytes, in proportion to what was handed over.
        const std::uint64_t given = job.compressedSize == 0 ? job.size : job.size * job.readOffset / job.compressedSize;
        addProgress(source->progress, given - job.progressGiven);
        job.progressGiven = given;
        return static_cast<zip_int64_t>(count);
    }
    case ZIP_SOURCE_CLOSE:
        if (job.readOffset == job.compressedSize && source->progress != nullptr) {
            ++source->progress->filesWritten;
        }
        source->pipeline->release(job);
        return 0;
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&job.error, data, length);
    case ZIP_SOURCE_FREE:
        delete source;
        return 0;
    default:
        zip_error_set(&job.error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

// A libzip source reading a large file piece by piece; libzip deflates it
// as it goes, so only a small buffer is held.
struct StreamedSource {
    const PackFile* file;
    WorkProgress* progress;
    std::ifstream in;
    std::uint64_t size = 0;
    std::uint64_t done = 0;
    zip_error_t error{};
    std::string* failure;
};

zip_int64_t streamedSourceCallback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* source = static_cast<StreamedSource*>(userdata);
    switch (command) {
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->valid = ZIP_STAT_MTIME;
        st->mtime = source->file->mtime;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_OPEN: {
        source->in.open(source->file->path, std::ios::binary);
        std::error_code ec;
        source->size = source->in ? fs::file_size(source->file->path, ec) : 0;
        if (!source->in || ec) {
            *source->failure += "zip error: could not open for reading: " + source->file->entryName + "\r\n";
            zip_error_set(&source->error, ZIP_ER_OPEN, 0);
            return -1;
        }
        source->done = 0;
        return 0;
    }
    case ZIP_SOURCE_READ: {
        if (cancelled(source->progress)) {
            zip_error_set(&source->error, ZIP_ER_CANCELLED, 0);
            return -1;
        }
        const std::uint64_t want = std::min<std::uint64_t>(length, source->size - source->done);
        source->in.read(static_cast<char*>(data), static_cast<std::streamsize>(want));
        if (static_cast<std::uint64_t>(source->in.gcount()) != want) {
            *source->failure += "zip error: could not read: " + source->file->entryName + "\r\n";
            zip_error_set(&source->error, ZIP_ER_READ, 0);
            return -1;
        }
        source->done += want;
        addProgress(source->progress, want);
        return static_cast<zip_int64_t>(want);
    }
    case ZIP_SOURCE_CLOSE:
        source->in.close();
        if (source->progress != nullptr && source->done == source->size) {
            ++source->progress->filesWritten;
        }
        return 0;
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_FREE:
        delete source;
        return 0;
    default:
        zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

// The name as a path split at its drive root: full paths as they are,
// relative names read from the root directory ("\" meaning the root of the
// current folder's drive).
platform::DrivePath resolveName(const std::string& name, const std::string& rootDirectory)
{
    const fs::path path = nativePath(name);
    if (path.is_relative() && !path.has_root_directory()) {
        std::error_code ec;
        const fs::path base = rootDirectory == "\\" || rootDirectory.empty()
                                  ? platform::driveRoot(fs::current_path(ec))
                                  : nativePath(rootDirectory);
        return platform::splitAtDriveRoot(base / path);
    }
    return platform::splitAtDriveRoot(path);
}

std::string zipErrorText(zip_error_t* error)
{
    return zip_error_strerror(error);
}


}  // namespace

PackResult packArchive(const fs::path& archivePath, const std::vector<PackItem>& items, const PackOptions& options)
{
    PackResult result;
    WorkProgress* const progress = options.progress;
    const std::string archiveText = platform::fromPath(archivePath);
    const auto leaveOut = [&](std::size_t item, const std::string& why) {
        code_module::appendMessage("zip warning: " + why + ": " + items[item].shownName + "\r\n");
        result.leftOut.push_back(item);
    };
    const auto finish = [&](std::int32_t code) {
        result.code = code;
        return result;
    };
    if (progress != nullptr) {
        progress->bytesDone = 0;
        progress->bytesTotal = 0;
        progress->filesWritten = 0;
    }

    // The files that exist, each under its entry name.
    std::vector<PackFile> files;
    std::set<std::string> seenEntries;
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PackItem& item = items[i];
        std::error_code ec;
        if (item.path.empty() || !fs::is_regular_file(item.path, ec)) {
            leaveOut(i, "name not matched");
            continue;
        }
        if (seenEntries.contains(item.entryName)) {
            leaveOut(i, "duplicate name left out");
            continue;
        }
        PackFile file;
        file.path = item.path;
        file.entryName = item.entryName;
        file.size = fs::file_size(item.path, ec);
        // A file that cannot be read now is left out, not the whole archive.
        if (ec || !std::ifstream(item.path, std::ios::binary)) {
            leaveOut(i, "could not open for reading");
            continue;
        }
        seenEntries.insert(file.entryName);
        file.mtime = modificationTime(item.path);
        file.streamed = file.size > options.streamingThreshold;
        total += file.size;
        files.push_back(std::move(file));
    }
    if (files.empty()) {
        code_module::appendMessage("zip error: Nothing to do! (" + archiveText + ")\r\n");
        return finish(kZipNothingToDo);
    }
    if (progress != nullptr) {
        progress->bytesTotal = total;
    }
    if (cancelled(progress)) {
        code_module::appendMessage("zip error: Interrupted (aborting)\r\n");
        return finish(kZipCancelled);
    }

    // libzip notices a missing folder only when it writes on POSIX, and at
    // once on Windows: the same answer on both.
    const fs::path archiveFolder = archivePath.parent_path();
    if (!archiveFolder.empty() && !platform::folderExists(archiveFolder)) {
        code_module::appendMessage("zip error: could not create " + archiveText + ": the folder does not exist\r\n");
        return finish(kZipCreateError);
    }

    // Entries of earlier archives that may hold the files' bytes. The
    // archives stay open until the packing is over: they go after the
    // pipeline that reads them.
    std::unique_ptr<ReuseSources> sources;
    if (!options.reuseFrom.empty()) {
        sources = std::make_unique<ReuseSources>(options.reuseFrom);
        bool any = false;
        for (PackFile& file : files) {
            if (!file.streamed && file.size > 0) {
                file.reuse = sources->find(file.entryName, file.size, file.mtime);
                any = any || file.reuse.has_value();
            }
        }
        if (!any) {
            sources.reset();
        }
    }

    // A new archive goes through a large write buffer; one being updated
    // through libzip's own file source, which reads what it holds.
    zip_error_t openError;
    zip_error_init(&openError);
    zip_t* archive = nullptr;
    if (options.updating) {
        int code = 0;
        archive = zip_open(archiveText.c_str(), ZIP_CREATE, &code);
        zip_error_set(&openError, code, 0);
    } else {
        archive = createArchive(archivePath, &openError);
    }
    if (archive == nullptr) {
        code_module::appendMessage("zip error: could not create " + archiveText + ": " + zipErrorText(&openError) +
                                   "\r\n");
        zip_error_fini(&openError);
        return finish(kZipCreateError);
    }
    zip_error_fini(&openError);

    // Whole-file jobs for the deflate pipeline, in archive order.
    std::vector<DeflateJob> jobs;
    for (const PackFile& file : files) {
        if (!file.streamed && file.size > 0) {
            jobs.emplace_back().file = &file;
        }
    }
    std::string failures;
    DeflatePipeline pipeline(jobs, progress, sources.get());

    auto fail = [&](const std::string& text, std::int32_t code) {
        pipeline.stop();
        zip_discard(archive);
        code_module::appendMessage(text);
        return finish(code);
    };

    std::size_t jobIndex = 0;
    for (const PackFile& file : files) {
        zip_source_t* source = nullptr;
        zip_error_t error;
        zip_error_init(&error);
        if (file.size == 0 && !file.streamed) {
            source = zip_source_buffer_create(nullptr, 0, 0, &error);
        } else if (file.streamed) {
            auto* streamed = new StreamedSource{&file, progress, {}, 0, 0, {}, &failures};
            zip_error_init(&streamed->error);
            source = zip_source_function_create(streamedSourceCallback, streamed, &error);
            if (source == nullptr) {
                delete streamed;
            }
        } else {
            auto* deflated = new DeflatedSource{&pipeline, &jobs, jobIndex++, progress};
            source = zip_source_function_create(deflatedSourceCallback, deflated, &error);
            if (source == nullptr) {
                delete deflated;
            }
        }
        if (source == nullptr) {
            const std::string text = "zip error: " + zipErrorText(&error) + "\r\n";
            zip_error_fini(&error);
            return fail(text, kZipNoMemory);
        }
        zip_error_fini(&error);
        // An entry of the same name in an archive being updated goes, and
        // the new one is added at the end, so the archive is written in the
        // order the files are deflated.
        const zip_int64_t old = zip_name_locate(archive, file.entryName.c_str(), ZIP_FL_ENC_UTF_8);
        if (old >= 0) {
            zip_delete(archive, static_cast<zip_uint64_t>(old));
        }
        const zip_int64_t index = zip_file_add(archive, file.entryName.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return fail("zip error: " + std::string(zip_strerror(archive)) + ": " + file.entryName + "\r\n",
                        kZipWriteError);
        }
        const auto entry = static_cast<zip_uint64_t>(index);
        if (file.size == 0 && !file.streamed) {
            zip_set_file_compression(archive, entry, ZIP_CM_STORE, 0);
            zip_file_set_mtime(archive, entry, file.mtime, 0);
        } else if (file.streamed) {
            zip_set_file_compression(archive, entry, ZIP_CM_DEFLATE, 3);
        }
    }

    if (zip_close(archive) != 0) {
        zip_error_t* error = zip_get_error(archive);
        const int code = zip_error_code_zip(error);
        std::string text = failures;
        for (const DeflateJob& job : jobs) {
            text += job.failure;
        }
        std::int32_t failure = kZipWriteError;
        if (code == ZIP_ER_CANCELLED || cancelled(progress)) {
            text = "zip error: Interrupted (aborting)\r\n";
            failure = kZipCancelled;
        } else if (code == ZIP_ER_OPEN || code == ZIP_ER_READ) {
            failure = kZipReadError;
        } else if (code == ZIP_ER_MEMORY) {
            failure = kZipNoMemory;
        }
        if (failure == kZipWriteError || text.empty()) {
            text += "zip error: could not write " + archiveText + ": " + zip_strerror(archive) + "\r\n";
        }
        return fail(text, failure);
    }
    pipeline.stop();
    if (progress != nullptr) {
        progress->filesWritten = files.size();
        progress->bytesDone = total;
    }
    result.reused = static_cast<std::size_t>(
        std::count_if(jobs.begin(), jobs.end(), [](const DeflateJob& job) { return job.reused; }));
    return finish(kZipOk);
}

std::int32_t VBZip(const ZipRequest& request, WorkProgress* progress, std::uint64_t streamingThreshold,
                   std::vector<std::string>* leftOut)
{
    code_module::clearMessageLog();
    std::vector<PackItem> items;
    items.reserve(request.names.size());
    for (const std::string& name : request.names) {
        PackItem item;
        item.shownName = name;
        if (!name.empty()) {
            const platform::DrivePath split = resolveName(name, request.rootDirectory);
            if (!split.below.empty()) {
                item.path = split.root / split.below;
                item.entryName = request.junkDirectories ? platform::fromPath(item.path.filename())
                                                         : genericText(split.below);
            }
        }
        items.push_back(std::move(item));
    }
    PackOptions options;
    options.updating = request.updating;
    options.streamingThreshold = streamingThreshold;
    options.progress = progress;
    const PackResult result = packArchive(nativePath(request.archivePath), items, options);
    if (leftOut != nullptr) {
        for (const std::size_t item : result.leftOut) {
            if (request.names[item] != kPlaceholderName) {
                leftOut->push_back(request.names[item]);
            }
        }
    }
    return result.code;
}

}  // namespace gm::backup
