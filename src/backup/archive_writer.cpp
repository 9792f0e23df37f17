#include "backup/archive_writer.h"

#include <zip.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <system_error>

#include "platform/fs.h"

namespace gm::backup {

namespace fs = std::filesystem;

namespace {

// What the file is given at once.
constexpr std::size_t kWriteBuffer = 64u << 10;

struct ArchiveFile {
    fs::path archive;
    fs::path temporary;
    std::ofstream out;
    // What libzip wrote and the file has not yet got. (The stream's own
    // buffer would pass every piece of 1 KB or more straight on.)
    std::unique_ptr<char[]> buffer{new char[kWriteBuffer]};
    std::size_t buffered = 0;
    zip_error_t error{};

    zip_int64_t fail(int code, int system = 0)
    {
        zip_error_set(&error, code, system);
        return -1;
    }

    // archive + "." + six letters or digits, a name no file has yet.
    fs::path freeTemporaryName()
    {
        static constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        std::mt19937_64 random(std::random_device{}());
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string suffix = ".";
            for (int i = 0; i < 6; ++i) {
                suffix += kCharacters[random() % (sizeof kCharacters - 1)];
            }
            fs::path candidate = archive;
            candidate += platform::toPath(suffix);
            if (!platform::pathExists(candidate)) {
                return candidate;
            }
        }
        return {};
    }

    zip_int64_t beginWrite()
    {
        temporary = freeTemporaryName();
        if (temporary.empty()) {
            return fail(ZIP_ER_TMPOPEN, EEXIST);
        }
        buffered = 0;
        out.open(temporary, std::ios::binary | std::ios::out | std::ios::trunc);
        return out ? 0 : fail(ZIP_ER_TMPOPEN, EACCES);
    }

    bool flush()
    {
        if (buffered > 0) {
            out.write(buffer.get(), static_cast<std::streamsize>(buffered));
            buffered = 0;
        }
        return static_cast<bool>(out);
    }

    zip_int64_t write(const void* data, zip_uint64_t length)
    {
        if (buffered + length > kWriteBuffer && !flush()) {
            return fail(ZIP_ER_WRITE, EIO);
        }
        if (length >= kWriteBuffer) {
            out.write(static_cast<const char*>(data), static_cast<std::streamsize>(length));
            return out ? static_cast<zip_int64_t>(length) : fail(ZIP_ER_WRITE, EIO);
        }
        std::memcpy(buffer.get() + buffered, data, static_cast<std::size_t>(length));
        buffered += static_cast<std::size_t>(length);
        return static_cast<zip_int64_t>(length);
    }

    zip_int64_t tellWrite()
    {
        const std::streamoff at = out.tellp();
        return at < 0 ? fail(ZIP_ER_TELL, EIO) : static_cast<zip_int64_t>(at) + static_cast<zip_int64_t>(buffered);
    }

    zip_int64_t commitWrite()
    {
        flush();
        out.close();
        if (out.fail()) {
            removeTemporary();
            return fail(ZIP_ER_WRITE, EIO);
        }
        std::error_code ec;
        fs::rename(temporary, archive, ec);
        if (ec) {
            removeTemporary();
            return fail(ZIP_ER_RENAME, ec.value());
        }
        temporary.clear();
        return 0;
    }

    void removeTemporary()
    {
        buffered = 0;
        if (out.is_open()) {
            out.close();
        }
        if (!temporary.empty()) {
            std::error_code ec;
            fs::remove(temporary, ec);
            temporary.clear();
        }
    }

    zip_int64_t seekWrite(void* data, zip_uint64_t length)
    {
        const auto* args = ZIP_SOURCE_GET_ARGS(zip_source_args_seek_t, data, length, &error);
        if (args == nullptr) {
            return -1;
        }
        if (!flush()) {
            return fail(ZIP_ER_WRITE, EIO);
        }
        std::ios::seekdir from = std::ios::beg;
        if (args->whence == SEEK_CUR) {
            from = std::ios::cur;
        } else if (args->whence == SEEK_END) {
            from = std::ios::end;
        }
        out.seekp(args->offset, from);
        return out ? 0 : fail(ZIP_ER_SEEK, EINVAL);
    }
};

zip_int64_t archiveFileCallback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* file = static_cast<ArchiveFile*>(userdata);
    switch (command) {
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_WRITABLE;
    case ZIP_SOURCE_STAT:
        // A new archive: there is nothing to read, whatever the file holds now.
        return file->fail(ZIP_ER_READ, ENOENT);
    case ZIP_SOURCE_BEGIN_WRITE:
        return file->beginWrite();
    case ZIP_SOURCE_WRITE:
        return file->write(data, length);
    case ZIP_SOURCE_TELL_WRITE:
        return file->tellWrite();
    case ZIP_SOURCE_SEEK_WRITE:
        return file->seekWrite(data, length);
    case ZIP_SOURCE_COMMIT_WRITE:
        return file->commitWrite();
    case ZIP_SOURCE_ROLLBACK_WRITE:
        file->removeTemporary();
        return 0;
    case ZIP_SOURCE_REMOVE: {
        std::error_code ec;
        fs::remove(file->archive, ec);
        return ec ? file->fail(ZIP_ER_REMOVE, ec.value()) : 0;
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&file->error, data, length);
    case ZIP_SOURCE_FREE:
        file->removeTemporary();
        zip_error_fini(&file->error);
        delete file;
        return 0;
    default:
        // Nothing of a new archive is read back.
        return file->fail(ZIP_ER_OPNOTSUPP);
    }
}

}  // namespace

zip_t* createArchive(const fs::path& archive, zip_error_t* error)
{
    auto* file = new ArchiveFile;
    file->archive = archive;
    zip_error_init(&file->error);
    zip_source_t* source = zip_source_function_create(archiveFileCallback, file, error);
    if (source == nullptr) {
        zip_error_fini(&file->error);
        delete file;
        return nullptr;
    }
    zip_t* created = zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, error);
    if (created == nullptr) {
        zip_source_free(source);
    }
    return created;
}

}  // namespace gm::backup
