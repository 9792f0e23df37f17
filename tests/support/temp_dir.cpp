#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QString>

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "platform/fs.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace gm::test {

namespace fs = std::filesystem;

fs::path testFolderPrefix()
{
    return fs::temp_directory_path() / ("gm-test-" + std::to_string(QCoreApplication::applicationPid()) + "-");
}

TempDir::TempDir()
{
    std::mt19937_64 random(std::random_device{}());
    std::error_code ec;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        fs::path candidate = testFolderPrefix();
        candidate += std::to_string(random() % 1000000000ULL);
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate;
        }
    }
    EXPECT_FALSE(path_.empty()) << "could not create a temporary folder";
}

TempDir::~TempDir()
{
    if (path_.empty()) {
        return;
    }
#ifdef _WIN32
    // Qt reaches paths past MAX_PATH and clears read-only attributes on the
    // way; the path library does neither there.
    QDir(QString::fromStdWString(path_.wstring())).removeRecursively();
#else
    std::error_code ec;
    // Make everything writable again first (tests make files read-only).
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        std::error_code permError;
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, permError);
    }
    fs::remove_all(path_, ec);
#endif
}

std::string TempDir::text() const { return platform::fromPath(path_); }

fs::path TempDir::write(std::string_view relative, std::string_view bytes) const
{
    const fs::path target = path_ / platform::toPath(relative);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    writeBytes(target, bytes);
    return target;
}

fs::path TempDir::mkdir(std::string_view relative) const
{
    const fs::path target = path_ / platform::toPath(relative);
    std::error_code ec;
    fs::create_directories(target, ec);
    EXPECT_FALSE(ec) << ec.message();
    return target;
}

std::string TempDir::read(std::string_view relative) const { return readBytes(path_ / platform::toPath(relative)); }

bool TempDir::exists(std::string_view relative) const
{
    std::error_code ec;
    return fs::exists(path_ / platform::toPath(relative), ec);
}

#ifdef _WIN32

void addAttributes(const fs::path& path, unsigned long attributes)
{
    const DWORD before = GetFileAttributesW(path.c_str());
    EXPECT_NE(before, INVALID_FILE_ATTRIBUTES) << path;
    EXPECT_TRUE(SetFileAttributesW(path.c_str(), (before & ~FILE_ATTRIBUTE_NORMAL) | attributes)) << path;
}

fs::path hidden(const fs::path& path)
{
    addAttributes(path, FILE_ATTRIBUTE_HIDDEN);
    return path;
}

bool makeReadOnly(const fs::path& file)
{
    addAttributes(file, FILE_ATTRIBUTE_READONLY);
    return true;
}

void makeWritable(const fs::path& file)
{
    SetFileAttributesW(file.c_str(), GetFileAttributesW(file.c_str()) & ~DWORD{FILE_ATTRIBUTE_READONLY});
}

#else

bool makeReadOnly(const fs::path& file)
{
    if (geteuid() == 0) {
        return false;
    }
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    return true;
}

void makeWritable(const fs::path& file)
{
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

fs::path hidden(const fs::path& path)
{
    EXPECT_EQ(path.filename().string().front(), '.') << path << " needs a leading dot to be hidden";
    return path;
}

#endif

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << path;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out) << "cannot write " << path;
}

}  // namespace gm::test
