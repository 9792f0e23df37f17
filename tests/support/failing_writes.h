// Makes the writing (or reading) of a file fail for one scope, the way each
// platform really fails it: on POSIX through the file size limit, as a full
// disk does (for every file, past `bytes`); on Windows by holding the file
// open without sharing it, as the running game or a virus scanner can.
#pragma once

#include <cstddef>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include "support/file_size_limit.h"
#endif

namespace gm::test {

#ifdef _WIN32

// Holds a file open for one scope, letting others do only what `share`
// allows (FILE_SHARE_READ, or 0 for nothing at all).
class HeldOpen {
public:
    HeldOpen(const std::filesystem::path& file, DWORD share)
        : handle_(CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~HeldOpen()
    {
        if (active()) {
            CloseHandle(handle_);
        }
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool active() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

#endif

class FailingWrites {
public:
#ifdef _WIN32
    FailingWrites(const std::filesystem::path& file, std::size_t /*bytes*/) : held_(file, FILE_SHARE_READ) {}
    bool active() const { return held_.active(); }
#else
    FailingWrites(const std::filesystem::path& /*file*/, std::size_t bytes) : limit_(static_cast<rlim_t>(bytes)) {}
    bool active() const { return limit_.active(); }
#endif
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;

private:
#ifdef _WIN32
    HeldOpen held_;
#else
    FileSizeLimit limit_;
#endif
};

}  // namespace gm::test
