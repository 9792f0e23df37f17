#include "backup/entry_reuse.h"

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>

#include "backup/backup_files.h"
#include "backup/deflate.h"
#include "platform/fs.h"

namespace gm::backup {

namespace fs = std::filesystem;

namespace {

// Pieces in which a file is read to be compared with inflated bytes.
constexpr std::size_t kComparePiece = 1u << 20;

zip_t* openForReading(const fs::path& archive)
{
    int error = 0;
    return zip_open(platform::fromPath(archive).c_str(), ZIP_RDONLY, &error);
}

// What a candidate's entry says of itself, as libzip reads it now.
std::optional<ReuseCandidate> describe(zip_t* archive, zip_uint64_t index, std::uint64_t archiveSize)
{
    zip_stat_t st;
    if (zip_stat_index(archive, index, 0, &st) != 0 || st.name == nullptr) {
        return std::nullopt;
    }
    constexpr zip_uint64_t kNeeded = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC |
                                     ZIP_STAT_MTIME | ZIP_STAT_ENCRYPTION_METHOD;
    if ((st.valid & kNeeded) != kNeeded || st.comp_method != ZIP_CM_DEFLATE ||
        st.encryption_method != ZIP_EM_NONE || st.size == 0 || st.comp_size == 0 || st.comp_size > archiveSize ||
        // More than deflate's stored blocks would take: not sound data.
        st.comp_size > st.size + st.size / 16 + 1024) {
        return std::nullopt;
    }
    ReuseCandidate candidate;
    candidate.entry = index;
    candidate.name = st.name;
    candidate.size = st.size;
    candidate.compressedSize = st.comp_size;
    candidate.crc = st.crc;
    return candidate;
}

std::time_t entryTime(zip_t* archive, zip_uint64_t index)
{
    zip_stat_t st;
    return zip_stat_index(archive, index, 0, &st) == 0 ? st.mtime : 0;
}

}  // namespace

std::vector<fs::path> reuseSourcesFor(const fs::path& backupFolder, const std::string& name)
{
    std::vector<fs::path> sources;
    const fs::path same = archivePath(backupFolder, name);
    if (platform::fileExists(same)) {
        sources.push_back(same);
    }
    struct Dated {
        fs::file_time_type written;
        fs::path path;
    };
    std::vector<Dated> others;
    for (const platform::DirEntry& entry : platform::listVisible(backupFolder)) {
        if (entry.isFolder || !entry.name.ends_with(".zip")) {
            continue;
        }
        const fs::path path = backupFolder / platform::toPath(entry.name);
        std::error_code ec;
        const fs::file_time_type written = fs::last_write_time(path, ec);
        if (!ec && path != same) {
            others.push_back({written, path});
        }
    }
    std::sort(others.begin(), others.end(), [](const Dated& a, const Dated& b) {
        return a.written != b.written ? a.written > b.written : a.path < b.path;
    });
    for (const Dated& other : others) {
        if (sources.size() >= kMaxReuseSources) {
            break;
        }
        sources.push_back(other.path);
    }
    return sources;
}

bool sameEntryTime(std::time_t entry, std::time_t file)
{
    return entry == file || entry == file - file % 2;
}

// ---------------------------------------------------------------------------

struct ReuseSources::Source {
    fs::path path;
    zip_t* archive = nullptr;
    std::uint64_t size = 0;

    ~Source()
    {
        if (archive != nullptr) {
            zip_discard(archive);
        }
    }
};

ReuseSources::ReuseSources(const std::vector<fs::path>& archives)
{
    for (const fs::path& path : archives) {
        auto source = std::make_unique<Source>();
        source->path = path;
        std::error_code ec;
        source->size = fs::file_size(path, ec);
        source->archive = ec ? nullptr : openForReading(path);
        if (source->archive != nullptr) {
            sources_.push_back(std::move(source));
        }
    }
}

ReuseSources::~ReuseSources() = default;

std::size_t ReuseSources::count() const { return sources_.size(); }
const fs::path& ReuseSources::archive(std::size_t source) const { return sources_[source]->path; }

std::optional<ReuseCandidate> ReuseSources::find(const std::string& entryName, std::uint64_t size,
                                                 std::time_t mtime) const
{
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        zip_t* archive = sources_[i]->archive;
        const zip_int64_t index = zip_name_locate(archive, entryName.c_str(), 0);
        if (index < 0) {
            continue;
        }
        const auto at = static_cast<zip_uint64_t>(index);
        std::optional<ReuseCandidate> candidate = describe(archive, at, sources_[i]->size);
        if (candidate && candidate->name == entryName && candidate->size == size &&
            sameEntryTime(entryTime(archive, at), mtime)) {
            candidate->source = i;
            return candidate;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------

struct ReuseReader::Handle {
    zip_t* archive = nullptr;
    bool tried = false;

    ~Handle()
    {
        if (archive != nullptr) {
            zip_discard(archive);
        }
    }
};

ReuseReader::ReuseReader(const ReuseSources& sources) : sources_(sources)
{
    for (std::size_t i = 0; i < sources.count(); ++i) {
        handles_.push_back(std::make_unique<Handle>());
    }
}

ReuseReader::~ReuseReader() = default;

bool ReuseReader::readVerified(const ReuseCandidate& candidate, const fs::path& file, unsigned char* out,
                               ScratchBuffer& scratch, const WorkProgress* progress)
{
    const auto cancelled = [progress] { return progress != nullptr && progress->cancelRequested.load(); };
    Handle& handle = *handles_.at(candidate.source);
    if (!handle.tried) {
        handle.tried = true;
        handle.archive = openForReading(sources_.archive(candidate.source));
    }
    if (handle.archive == nullptr || cancelled()) {
        return false;
    }
    // The entry as this handle reads it must be the one that was found
    // (the archive may have been replaced meanwhile).
    std::error_code ec;
    const std::uint64_t archiveSize = fs::file_size(sources_.archive(candidate.source), ec);
    const std::optional<ReuseCandidate> now = describe(handle.archive, candidate.entry, ec ? 0 : archiveSize);
    if (!now || now->name != candidate.name || now->size != candidate.size ||
        now->compressedSize != candidate.compressedSize || now->crc != candidate.crc) {
        return false;
    }

    // The deflated bytes as they are stored.
    zip_file_t* entry = zip_fopen_index(handle.archive, candidate.entry, ZIP_FL_COMPRESSED);
    if (entry == nullptr) {
        return false;
    }
    std::uint64_t got = 0;
    while (got < candidate.compressedSize) {
        const zip_int64_t n = zip_fread(entry, out + got, candidate.compressedSize - got);
        if (n <= 0) {
            break;
        }
        got += static_cast<std::uint64_t>(n);
    }
    zip_fclose(entry);
    if (got != candidate.compressedSize || cancelled()) {
        return false;
    }

    // They must be one deflate stream and nothing after it (which the new
    // archive would carry along), inflating to exactly the entry's size,
    // with its CRC...
    unsigned char* const data = scratch.get(static_cast<std::size_t>(candidate.size));
    if (data == nullptr) {
        return false;
    }
    if (!inflater_) {
        inflater_ = std::make_unique<Inflater>();
    }
    if (!inflater_->inflateWhole(out, static_cast<std::size_t>(candidate.compressedSize), data,
                                 static_cast<std::size_t>(candidate.size)) ||
        crc32Of(data, static_cast<std::size_t>(candidate.size)) != candidate.crc) {
        return false;
    }

    // ...and to the file's bytes as they are now, to its end.
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    if (!piece_) {
        piece_.reset(new unsigned char[kComparePiece]);
    }
    std::uint64_t compared = 0;
    while (compared < candidate.size) {
        if (cancelled()) {
            return false;
        }
        const auto want = static_cast<std::streamsize>(std::min<std::uint64_t>(kComparePiece, candidate.size - compared));
        in.read(reinterpret_cast<char*>(piece_.get()), want);
        if (in.gcount() != want || std::memcmp(piece_.get(), data + compared, static_cast<std::size_t>(want)) != 0) {
            return false;
        }
        compared += static_cast<std::uint64_t>(want);
    }
    return in.peek() == std::ifstream::traits_type::eof();
}

}  // namespace gm::backup
