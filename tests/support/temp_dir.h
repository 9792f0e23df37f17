// A temporary folder that lives for one test, with byte-level file helpers.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace gm::test {

// Where this test run's temporary folders begin: the system's temporary
// folder, then "gm-test-" and the process number.
std::filesystem::path testFolderPrefix();

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the program's path text (UTF-8).
    std::string text() const;

    // Writes bytes to a path relative to the folder (forward slashes),
    // creating folders on the way; returns the full path.
    std::filesystem::path write(std::string_view relative, std::string_view bytes) const;
    std::filesystem::path mkdir(std::string_view relative) const;
    // The bytes of a file below the folder; fails the test when unreadable.
    std::string read(std::string_view relative) const;
    bool exists(std::string_view relative) const;

private:
    std::filesystem::path path_;
};

// Makes an entry hidden as the platform hides entries: on Windows by the
// hidden attribute (a leading dot hides nothing there), elsewhere by a
// leading dot, which the name must have already. Returns the entry's path.
std::filesystem::path hidden(const std::filesystem::path& path);
#ifdef _WIN32
// Adds Windows file attributes (FILE_ATTRIBUTE_SYSTEM ...) to an entry.
void addAttributes(const std::filesystem::path& path, unsigned long attributes);
#endif

// Makes a file read-only as its platform does: the read-only attribute on
// Windows, no write permission elsewhere. False when that does not bind
// (the superuser writes all the same). makeWritable undoes it.
bool makeReadOnly(const std::filesystem::path& file);
void makeWritable(const std::filesystem::path& file);

// Reads a whole file; empty and a test failure when unreadable.
std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace gm::test
