// Helpers of the archive tests: file trees, outside tools and the recorded
// questions of an unpack.
#pragma once

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "backup/archive_entries.h"
#include "backup/zip_error.h"
#include "backup/zip_extractor.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace gm::backup::test {

namespace fs = std::filesystem;

// The archives made by other zip programs, kept beside the tests
// (fixtures/make_fixtures.py says how each was made).
inline std::string fixture(const std::string& name)
{
    return platform::fromPath(fs::path(GM_TEST_SOURCE_DIR) / "fixtures" / platform::toPath(name));
}

// Why the checks with Info-ZIP's own tools cannot run here; empty where
// they can. A Windows program (under Wine, too) cannot start the Linux
// tools; the Linux run checks the same archive bytes with them.
inline std::string otherToolsMissing()
{
#ifdef _WIN32
    return "Info-ZIP's unzip is a Linux program here, which a Windows program cannot start; "
           "the Linux run checks the same archives with it";
#else
    return {};
#endif
}

inline std::string shellQuote(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

inline std::string shellQuote(const fs::path& path)
{
    return shellQuote(platform::fromPath(path));
}

// Runs a command in a POSIX shell (where otherToolsMissing() is empty);
// its exit status.
inline int run(const std::string& command)
{
#ifdef _WIN32
    ADD_FAILURE() << "no POSIX shell: " << command;
    return -1;
#else
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// A folder that packing and unpacking treat as a drive: the tests put game
// files below `folder`, their entries are named below `root`, and unpacking
// into `root` brings them back to `folder`. On POSIX the folder is a Wine
// prefix's drive_c made for the test, its own root. Windows has no such
// folder: there the root is the real root of the temporary folder's drive
// (C:\), and the entries carry the temporary folder's path below it, so the
// files still come back into the temporary folder and nowhere else.
struct FakeDrive {
    gm::test::TempDir dir;
    fs::path folder;
    fs::path root;
    std::string below;  // entry-name prefix of `folder`: empty, or ending in '/'

    FakeDrive()
    {
#ifdef _WIN32
        folder = dir.mkdir("drive");
        root = platform::driveRoot(folder);
        const std::u8string prefix = platform::splitAtDriveRoot(folder).below.generic_u8string();
        below = std::string(prefix.begin(), prefix.end()) + "/";
#else
        folder = dir.mkdir("prefix/drive_c");
        root = folder;
#endif
    }

    // The entry name of a file below `folder` (relative, forward slashes).
    std::string entry(const std::string& relative) const { return below + relative; }
    std::string rootText() const { return platform::fromPath(root); }
    // The tree as `folder` holds it, under entry names.
    std::map<std::string, std::string> entries(const std::map<std::string, std::string>& tree) const
    {
        std::map<std::string, std::string> out;
        for (const auto& [name, bytes] : tree) {
            out[entry(name)] = bytes;
        }
        return out;
    }
};

// Runs `call` and expects it to raise this error.
inline void expectZipError(const std::function<void()>& call, std::int32_t number, const std::string& source,
                           const std::string& description)
{
    try {
        call();
        ADD_FAILURE() << "no error raised, expected " << description;
    } catch (const ZipError& error) {
        EXPECT_EQ(error.number(), number);
        EXPECT_EQ(error.source(), source);
        EXPECT_EQ(error.description(), description);
    }
}

// File contents by path relative to a folder (forward slashes).
using Tree = std::map<std::string, std::string>;

inline Tree readTree(const fs::path& folder)
{
    Tree tree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_regular_file()) {
            const std::u8string relative = it->path().lexically_relative(folder).generic_u8string();
            tree[std::string(relative.begin(), relative.end())] = gm::test::readBytes(it->path());
        }
    }
    return tree;
}

inline void writeTree(const fs::path& folder, const Tree& tree)
{
    for (const auto& [name, bytes] : tree) {
        const fs::path path = folder / platform::toPath(name);
        fs::create_directories(path.parent_path());
        gm::test::writeBytes(path, bytes);
    }
}

// Writes an archive of these entries (name, bytes) with libzip, deflated,
// and AES-256 encrypted with `password` when one is given.
inline void writeArchive(const fs::path& archive, const std::vector<std::pair<std::string, std::string>>& entries,
                         const char* password = nullptr)
{
    int error = 0;
    zip_t* writer = zip_open(platform::fromPath(archive).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(writer, nullptr) << error;
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(writer, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(writer, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << zip_strerror(writer);
        if (password != nullptr) {
            ASSERT_EQ(zip_file_set_encryption(writer, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, password), 0);
        }
    }
    ASSERT_EQ(zip_close(writer), 0) << zip_strerror(writer);
}

// Every entry's bytes as libzip unpacks them (checking their CRC), by name.
inline Tree archiveContents(const fs::path& archive)
{
    Tree tree;
    int error = 0;
    zip_t* reader = zip_open(platform::fromPath(archive).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    EXPECT_NE(reader, nullptr) << error;
    if (reader == nullptr) {
        return tree;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(reader, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(reader, static_cast<zip_uint64_t>(i), 0, &st);
        zip_file_t* file = zip_fopen_index(reader, static_cast<zip_uint64_t>(i), 0);
        std::string bytes(st.size, '\0');
        EXPECT_EQ(zip_fread(file, bytes.data(), st.size), static_cast<zip_int64_t>(st.size)) << st.name;
        EXPECT_EQ(zip_fclose(file), 0) << st.name << ": its CRC";
        tree[st.name] = bytes;
    }
    zip_discard(reader);
    return tree;
}

// Flips one byte in the middle of an entry's stored data, which follows the
// entry's name and extra field in its local header.
inline void damageEntry(const std::string& archive, const std::string& entry)
{
    const ArchiveListing listing = listArchive(archive);
    const auto found = std::ranges::find(listing.entries, entry, &ArchiveEntry::name);
    ASSERT_NE(found, listing.entries.end()) << entry;
    std::string bytes = gm::test::readBytes(platform::toPath(archive));
    const std::size_t name = bytes.find(entry);  // the local header comes first
    ASSERT_NE(name, std::string::npos);
    const auto extra = static_cast<std::size_t>(static_cast<unsigned char>(bytes[name - 2]) |
                                                static_cast<unsigned char>(bytes[name - 1]) << 8);
    const std::size_t at = name + entry.size() + extra + found->compressedSize / 2;
    ASSERT_LT(at, bytes.size());
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    gm::test::writeBytes(platform::toPath(archive), bytes);
}

// Bytes that neither repeat nor look random, as fixtures/make_fixtures.py
// writes them.
inline std::string pattern(std::size_t size)
{
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = static_cast<char>((i * i + i / 7) % 251);
    }
    return out;
}

// Bytes that deflate about as well as a replay: runs of repeats, a few
// bytes of noise, words of text.
inline std::string gameBytes(std::mt19937& random, std::size_t size)
{
    std::string out;
    out.reserve(size);
    while (out.size() < size) {
        switch (random() % 3) {
        case 0: out.append(random() % 64, static_cast<char>(random() % 4)); break;
        case 1: for (int i = 0; i < 16; ++i) out += static_cast<char>(random()); break;
        default: out += "car_number=" + std::to_string(random() % 200) + "\r\n"; break;
        }
    }
    out.resize(size);
    return out;
}

// Asks for a cancel as soon as the work has done its first bytes; join the
// thread once the work has returned.
inline std::thread cancelOnceBegun(WorkProgress& progress)
{
    return std::thread([&progress] {
        while (progress.bytesDone == 0 && progress.filesWritten == 0) {
            std::this_thread::yield();
        }
        progress.cancelRequested = true;
    });
}

// The recorded questions of an unpack and their scripted answers.
struct ScriptedQuestions : UnzipQuestions {
    std::vector<int> replaceAnswers;
    std::vector<std::optional<std::string>> passwords;
    std::vector<std::string> replaceAsked;
    std::vector<std::string> passwordAsked;
    WorkProgress* cancelOnReplace = nullptr;
    std::function<void(const std::string&)> onReplace;  // runs as each replace question is asked

    int replaceFile(const std::string& name) override
    {
        replaceAsked.push_back(name);
        if (cancelOnReplace != nullptr) {
            cancelOnReplace->cancelRequested = true;
        }
        if (onReplace) {
            onReplace(name);
        }
        const std::size_t i = replaceAsked.size() - 1;
        return i < replaceAnswers.size() ? replaceAnswers[i] : kReplaceYes;
    }
    std::optional<std::string> password(const std::string& entryName) override
    {
        passwordAsked.push_back(entryName);
        const std::size_t i = passwordAsked.size() - 1;
        return i < passwords.size() ? passwords[i] : std::nullopt;
    }
};

}  // namespace gm::backup::test
