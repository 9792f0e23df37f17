// Makes the writing of a file fail for one scope, the way each platform
// really fails it: on POSIX through the file size limit, as a full disk
// does (for every file, past `bytes`); on Windows by holding the file open
// without sharing it, as the running game or a virus scanner can.
#pragma once

#include <cstddef>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include "support/file_size_limit.h"
#endif

namespace gm::test {

class FailingWrites {
public:
#ifdef _WIN32
    FailingWrites(const std::filesystem::path& file, std::size_t /*bytes*/)
        : handle_(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~FailingWrites()
    {
        if (active()) {
            CloseHandle(handle_);
        }
    }
    bool active() const { return handle_ != INVALID_HANDLE_VALUE; }
#else
    FailingWrites(const std::filesystem::path& /*file*/, std::size_t bytes) : limit_(static_cast<rlim_t>(bytes)) {}
    bool active() const { return limit_.active(); }
#endif
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;

private:
#ifdef _WIN32
    HANDLE handle_;
#else
    FileSizeLimit limit_;
#endif
};

}  // namespace gm::test
