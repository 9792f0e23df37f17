#include <gtest/gtest.h>

#include "archive_test_support.h"
#include "backup/archive_entries.h"
#include "backup/zip_builder.h"
#include "backup/zip_extractor.h"

namespace gm::backup {
namespace {

namespace fs = std::filesystem;
using gm::test::TempDir;
using test::FakeDrive;
using test::shellQuote;
using test::run;
using test::Tree;

constexpr std::uint64_t kSmallThreshold = 64 * 1024;

// A random game tree: names with blanks and Windows-1252 letters (as UTF-8),
// empty files, text and replay-like data, one file above the threshold.
Tree randomTree(unsigned seed)
{
    std::mt19937 random(seed);
    const char* folders[] = {"players/Ann Lee", "players/Éva Müller", "series/cup/cars", "replay", "tracks/Brands Hatch",
                             "exports_imports/€ deep/ñ/ß"};
    const char* names[] = {"playrecs.ini", "car 12.car", "naïve résumé.txt", "Œuvre–1.lst", "r.rpy", "x"};
    Tree tree;
    for (int i = 0; i < 30; ++i) {
        const std::string name = std::string(folders[random() % 6]) + "/" + std::to_string(i) + " " + names[random() % 6];
        const std::size_t size = random() % 4 == 0 ? 0 : random() % 40000;
        tree["Quillon/Gridmark/" + name] = test::gameBytes(random, size);
    }
    tree["Quillon/Gridmark/replay/long race.rpy"] = test::gameBytes(random, 3 * kSmallThreshold + 17);
    return tree;
}

// Packs the files of `tree` below the drive into `archive`.
void pack(const FakeDrive& drive, const Tree& tree, const std::string& archive, WorkProgress* progress = nullptr)
{
    CGZipFiles zip;
    zip.setZipFileName(archive);
    zip.setStreamingThreshold(kSmallThreshold);
    zip.setWorkProgress(progress);
    for (const auto& [name, bytes] : tree) {
        zip.AddFile(platform::fromPath(drive.folder / platform::toPath(name)));
    }
    ASSERT_EQ(zip.MakeZipFile(), kZipOk) << zip.GetLastMessage();
}

TEST(ZipRoundTrip, RandomTreesComeBackToTheByte)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        const FakeDrive drive;
        const Tree tree = randomTree(seed);
        test::writeTree(drive.folder, tree);
        // An archive whose own path holds letters beyond ASCII.
        const fs::path archivePath = drive.dir.mkdir("Bäckup ü") / platform::toPath("round trip é.zip");
        const std::string archive = platform::fromPath(archivePath);

        WorkProgress progress;
        pack(drive, tree, archive, &progress);
        std::uint64_t total = 0;
        for (const auto& [name, bytes] : tree) {
            total += bytes.size();
        }
        EXPECT_EQ(progress.bytesTotal, total);
        EXPECT_EQ(progress.bytesDone, total);
        EXPECT_EQ(progress.filesWritten, tree.size());

        // Edit, delete and add files; the restore puts back what was backed up.
        const ArchiveListing listing = listArchive(archive);
        ASSERT_TRUE(listing.ok) << listing.error;
        std::vector<std::string> names;
        for (const ArchiveEntry& entry : listing.entries) {
            names.push_back(entry.name);
        }
        std::vector<std::string> expectedNames;
        for (const auto& [name, bytes] : drive.entries(tree)) {
            expectedNames.push_back(name);
        }
        ASSERT_EQ(names, expectedNames);
        // Edited (within its size where it has bytes), deleted, or left.
        int index = 0;
        std::uint64_t left = 0;
        for (const auto& [name, bytes] : tree) {
            switch (index++ % 3) {
            case 0: {
                std::string edited = bytes.empty() ? std::string("!") : bytes;
                edited.back() = static_cast<char>(edited.back() ^ 0x01);
                test::writeTree(drive.folder, {{name, edited}});
                break;
            }
            case 1: fs::remove(drive.folder / platform::toPath(name));
                    break;
            default: ++left;
                     break;
            }
        }
        test::writeTree(drive.folder, {{"Quillon/Gridmark/new file.txt", "not in the backup"}});
        // Compared with the archive, only the files left are in place.
        Unpacking unpacking(platform::toPath(archive), drive.root, UnpackOptions());
        ASSERT_EQ(unpacking.check(), kUnzipOk) << unpacking.report().refusedEntry;
        ASSERT_EQ(unpacking.compare(nullptr), kUnzipOk);
        EXPECT_EQ(unpacking.report().filesInPlace, left);
        Tree expected = tree;
        expected["Quillon/Gridmark/new file.txt"] = "not in the backup";

        for (std::uint64_t threshold : {kSmallThreshold, kDefaultStreamingThreshold}) {
            WorkProgress restoring;
            CGUnzipFiles unzip;
            unzip.setWorkProgress(&restoring);
            unzip.setStreamingThreshold(threshold);
            ASSERT_EQ(unzip.Unzip(archive, drive.rootText()), kUnzipOk) << unzip.GetLastMessage();
            EXPECT_EQ(test::readTree(drive.folder), expected) << seed;
            EXPECT_EQ(restoring.filesWritten, tree.size());
            EXPECT_EQ(restoring.bytesDone, total);
        }
    }
}

TEST(ZipRoundTrip, OurArchivesPassInfoZipUnzip)
{
    if (const std::string missing = test::otherToolsMissing(); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    const FakeDrive drive;
    const Tree tree = randomTree(4);
    test::writeTree(drive.folder, tree);
    const std::string archive = drive.dir.text() + "/packed.zip";
    pack(drive, tree, archive);
    EXPECT_EQ(run("unzip -tq " + shellQuote(archive)), 0);

    // An archive updated in place: entries replaced, others kept.
    test::writeTree(drive.folder,
                    {{"Quillon/Gridmark/new.ini", "new"}, {"Quillon/Gridmark/replay/long race.rpy", "short"}});
    CGZipFiles update;
    update.setZipFileName(archive);
    update.setUpdatingZip(true);
    update.AddFile(platform::fromPath(drive.folder / "Quillon/Gridmark/new.ini"));
    update.AddFile(platform::fromPath(drive.folder / "Quillon/Gridmark/replay/long race.rpy"));
    ASSERT_EQ(update.MakeZipFile(), kZipOk) << update.GetLastMessage();
    EXPECT_EQ(listArchive(archive).entries.size(), tree.size() + 1);
    EXPECT_EQ(run("unzip -tq " + shellQuote(archive)), 0);
}

// The files of the Info-ZIP fixtures (see fixtures/make_fixtures.py).
Tree infoZipTree()
{
    std::string track;
    for (int i = 0; i < 200; ++i) {
        track += "tyre_wear=1.0\r\n";
    }
    return {
        {"Quillon/Gridmark/players/Ann Lee/playrecs.ini", "[atlanta]\r\nAutoAIStrength=95\r\n"},
        {"Quillon/Gridmark/players/Éva Müller/playrecs.ini", "[atlanta]\r\nAutoAIStrength=101\r\n"},
        {"Quillon/Gridmark/exports_imports/€ deep/ñ/ß/naïve résumé.txt", "Œuvre–1\r\n"},
        {"Quillon/Gridmark/series/cup/cars/empty.car", ""},
        {"Quillon/Gridmark/tracks/Brands Hatch/track.ini", track},
        {"Quillon/Gridmark/replay/long race.rpy", test::pattern(20000)},
    };
}

TEST(ZipRoundTrip, InfoZipArchivesRestoreThroughOurExtractor)
{
    // Folder entries, deflated and stored entries; then sizes in data
    // descriptors after the data, as streaming writers leave them.
    for (const char* name : {"infozip-stored-rpy.zip", "infozip-descriptors.zip"}) {
        for (std::uint64_t threshold : {kDefaultStreamingThreshold, std::uint64_t{0}}) {
            const TempDir target;
            CGUnzipFiles unzip;
            unzip.setStreamingThreshold(threshold);
            ASSERT_EQ(unzip.Unzip(test::fixture(name), target.text()), kUnzipOk)
                << name << ": " << unzip.GetLastMessage();
            EXPECT_EQ(test::readTree(target.path()), infoZipTree()) << name;
            EXPECT_TRUE(fs::is_directory(target.path() / "Quillon/Gridmark/players/Ann Lee"));
        }
    }
}

}  // namespace
}  // namespace gm::backup
