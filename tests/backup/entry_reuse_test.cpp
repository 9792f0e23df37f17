// Packing that takes unchanged files' deflated bytes from earlier archives:
// what is reused, what is packed afresh, and which archives are looked into.
#include <gtest/gtest.h>
#include <zip.h>

#include <chrono>
#include <cstdint>
#include <functional>

#include "archive_test_support.h"
#include "backup/entry_reuse.h"
#include "backup/zip_builder.h"

namespace gm::backup {
namespace {

namespace fs = std::filesystem;
using gm::test::TempDir;
using test::Tree;

// A time a file may carry, in whole seconds.
fs::file_time_type fileTime(std::int64_t seconds)
{
    return std::chrono::time_point_cast<fs::file_time_type::duration>(
        std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(seconds))));
}

// The game files of a test: entry name -> file, all below one folder.
struct GameFiles {
    TempDir dir;
    std::vector<std::string> names;

    fs::path path(const std::string& name) const { return dir.path() / "game" / platform::toPath(name); }

    void put(const std::string& name, const std::string& bytes, std::int64_t seconds = 1700000000)
    {
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
        fs::create_directories(path(name).parent_path());
        gm::test::writeBytes(path(name), bytes);
        fs::last_write_time(path(name), fileTime(seconds));
    }

    std::vector<PackItem> items() const
    {
        std::vector<PackItem> out;
        for (const std::string& name : names) {
            out.push_back({path(name), name, name});
        }
        return out;
    }

    Tree contents() const
    {
        Tree tree;
        for (const std::string& name : names) {
            tree[name] = gm::test::readBytes(path(name));
        }
        return tree;
    }

    PackResult pack(const fs::path& archive, const std::vector<fs::path>& reuseFrom = {}) const
    {
        PackOptions options;
        options.reuseFrom = reuseFrom;
        return packArchive(archive, items(), options);
    }
};

// An entry's bytes as they are stored (deflated).
std::string stored(const fs::path& archive, const std::string& name)
{
    int error = 0;
    zip_t* reader = zip_open(platform::fromPath(archive).c_str(), ZIP_RDONLY, &error);
    const zip_int64_t index = zip_name_locate(reader, name.c_str(), 0);
    zip_stat_t st;
    zip_stat_index(reader, static_cast<zip_uint64_t>(index), 0, &st);
    std::string bytes(st.comp_size, '\0');
    zip_file_t* file = zip_fopen_index(reader, static_cast<zip_uint64_t>(index), ZIP_FL_COMPRESSED);
    EXPECT_EQ(zip_fread(file, bytes.data(), st.comp_size), static_cast<zip_int64_t>(st.comp_size));
    zip_fclose(file);
    zip_discard(reader);
    return bytes;
}

// An archive of the files as libzip deflates them (with zlib, so its bytes
// differ from those the program's packer makes), each entry carrying its
// file's time.
void zlibArchive(const fs::path& archive, const GameFiles& game)
{
    const Tree contents = game.contents();
    int error = 0;
    zip_t* writer = zip_open(platform::fromPath(archive).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(writer, nullptr);
    for (const auto& [name, bytes] : contents) {
        zip_source_t* source = zip_source_buffer(writer, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(writer, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0);
        const auto written = std::chrono::file_clock::to_sys(fs::last_write_time(game.path(name)));
        zip_file_set_mtime(writer, static_cast<zip_uint64_t>(index), std::chrono::system_clock::to_time_t(written), 0);
    }
    ASSERT_EQ(zip_close(writer), 0) << zip_strerror(writer);
}

// Changes an entry's header in the archive's central directory (the one
// readers go by), its data left as it is.
void editCentralHeader(const fs::path& archive, const std::string& name, const std::function<void(char*)>& edit)
{
    std::string bytes = gm::test::readBytes(archive);
    const std::string header("PK\x01\x02", 4);
    for (std::size_t at = bytes.find(header); at != std::string::npos; at = bytes.find(header, at + 1)) {
        if (bytes.compare(at + 46, name.size(), name) == 0) {
            edit(bytes.data() + at);
            gm::test::writeBytes(archive, bytes);
            return;
        }
    }
    ADD_FAILURE() << "no central header of " << name;
}

// Gives an entry another CRC.
void wrongCentralCrc(const fs::path& archive, const std::string& name)
{
    editCentralHeader(archive, name, [](char* header) { header[16] = static_cast<char>(header[16] ^ 0x01); });
}

// Makes an entry's data `more` bytes longer than its deflate stream: what
// follows it in the archive (the next entry's header) is taken into it.
void longerData(const fs::path& archive, const std::string& name, unsigned more)
{
    editCentralHeader(archive, name, [more](char* header) {
        auto* size = reinterpret_cast<unsigned char*>(header + 20);
        const std::uint32_t longer = (size[0] | size[1] << 8 | size[2] << 16 | std::uint32_t{size[3]} << 24) + more;
        for (int i = 0; i < 4; ++i) {
            size[i] = static_cast<unsigned char>(longer >> (8 * i));
        }
    });
}

TEST(EntryReuse, UnchangedFilesAreCopiedFromAnEarlierArchiveAndTheNewArchiveStandsAlone)
{
    GameFiles game;
    std::mt19937 random(11);
    game.put("replay/r1.rpy", test::gameBytes(random, 300000));
    game.put("players/Ann/playrecs.ini", test::gameBytes(random, 5000));
    // A zip entry keeps even seconds: this one's time is a second more.
    game.put("tracks/atlanta/track.ini", test::gameBytes(random, 700), 1700000001);
    const fs::path earlier = game.dir.path() / "earlier.zip";
    zlibArchive(earlier, game);
    const fs::path notAnArchive = game.dir.write("not an archive.zip", "PK but nothing more");

    const fs::path archive = game.dir.path() / "new.zip";
    const PackResult result = game.pack(archive, {game.dir.path() / "missing.zip", notAnArchive, earlier});
    ASSERT_EQ(result.code, kZipOk);
    EXPECT_EQ(result.reused, 3u);
    EXPECT_TRUE(result.leftOut.empty());
    for (const std::string& name : game.names) {
        EXPECT_EQ(stored(archive, name), stored(earlier, name)) << name;
    }
    // Packed afresh, the bytes differ: the ones above were copied.
    const fs::path fresh = game.dir.path() / "fresh.zip";
    ASSERT_EQ(game.pack(fresh).reused, 0u);
    EXPECT_NE(stored(fresh, "replay/r1.rpy"), stored(earlier, "replay/r1.rpy"));

    // The new archive needs nothing of the earlier one.
    fs::remove(earlier);
    EXPECT_EQ(test::archiveContents(archive), game.contents());
}

TEST(EntryReuse, WhatIsInDoubtIsPackedAfresh)
{
    GameFiles game;
    std::mt19937 random(12);
    for (const char* name :
         {"edited.rpy", "touched.rpy", "damaged.rpy", "wrong crc.rpy", "grown.ini", "padded.rpy", "same.rpy"}) {
        game.put(name, test::gameBytes(random, 100000));
    }
    const fs::path earlier = game.dir.path() / "earlier.zip";
    ASSERT_EQ(game.pack(earlier).code, kZipOk);

    // Edited within its size and time.
    std::string edited = gm::test::readBytes(game.path("edited.rpy"));
    edited[50000] = static_cast<char>(edited[50000] ^ 0x20);
    game.put("edited.rpy", edited);
    // The same bytes, written two seconds later.
    game.put("touched.rpy", gm::test::readBytes(game.path("touched.rpy")), 1700000002);
    // Longer, its time kept.
    game.put("grown.ini", gm::test::readBytes(game.path("grown.ini")) + "x");
    // The earlier archive damaged in an entry's data, in another's CRC, and
    // in the size of a third's data, which then holds bytes after its
    // deflate stream (they would go into the new archive with it).
    test::damageEntry(platform::fromPath(earlier), "damaged.rpy");
    wrongCentralCrc(earlier, "wrong crc.rpy");
    longerData(earlier, "padded.rpy", 30);

    const fs::path archive = game.dir.path() / "new.zip";
    const PackResult result = game.pack(archive, {earlier});
    ASSERT_EQ(result.code, kZipOk);
    EXPECT_EQ(result.reused, 1u);  // same.rpy
    EXPECT_EQ(test::archiveContents(archive), game.contents());
}

TEST(EntryReuse, TheOlderArchiveOfTheNameComesFirstThenTheNewestOthers)
{
    TempDir dir;
    const fs::path folder = dir.mkdir("Backup");
    std::int64_t when = 1700000000;
    const auto archive = [&](const std::string& file) {
        const fs::path path = dir.write("Backup/" + file, "x");
        fs::last_write_time(path, fileTime(when += 10));
        return path;
    };
    const fs::path week = archive("week.zip");  // the oldest
    std::vector<fs::path> others;
    for (const char* name : {"a.zip", "b.zip", "c.zip", "d.zip", "e.zip"}) {
        others.push_back(archive(name));
    }
    // Newer, but not archives of backups (the folder is made now).
    archive("f.zip.tmp");
    archive("f.dat");
    fs::create_directories(folder / "g.zip");

    EXPECT_EQ(reuseSourcesFor(folder, "week"), (std::vector<fs::path>{week, others[4], others[3], others[2]}));
    EXPECT_EQ(reuseSourcesFor(folder, "new"), (std::vector<fs::path>{others[4], others[3], others[2], others[1]}));
    EXPECT_TRUE(reuseSourcesFor(dir.path() / "none", "week").empty());
}

}  // namespace
}  // namespace gm::backup
