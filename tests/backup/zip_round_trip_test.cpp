#include <gtest/gtest.h>

#include "archive_test_support.h"
#include "backup/archive_entries.h"
#include "backup/zip_builder.h"
#include "backup/zip_extractor.h"

namespace gm::backup {
namespace {

namespace fs = std::filesystem;
using gm::test::TempDir;
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

TEST(ZipRoundTrip, RandomTreesComeBackToTheByteAndPassOtherTools)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        TempDir dir;
        const fs::path drive = dir.mkdir("wine/drive_c");
        const Tree tree = randomTree(seed);
        test::writeTree(drive, tree);
        const std::string archive = dir.text() + "/round trip.zip";

        WorkProgress progress;
        CGZipFiles zip;
        zip.setZipFileName(archive);
        zip.setStreamingThreshold(kSmallThreshold);
        zip.setWorkProgress(&progress);
        std::uint64_t total = 0;
        for (const auto& [name, bytes] : tree) {
            zip.AddFile(platform::fromPath(drive / name));
            total += bytes.size();
        }
        ASSERT_EQ(zip.MakeZipFile(), kZipOk) << zip.GetLastMessage();
        EXPECT_EQ(progress.bytesTotal, total);
        EXPECT_EQ(progress.bytesDone, total);
        EXPECT_EQ(progress.filesWritten, tree.size());

        EXPECT_EQ(run("unzip -tq " + shellQuote(archive)), 0) << seed;

        // Edit, delete and add files; the restore puts back what was backed up.
        const ArchiveListing listing = listArchive(archive);
        ASSERT_TRUE(listing.ok);
        ASSERT_EQ(listing.entries.size(), tree.size());
        int index = 0;
        for (const ArchiveEntry& entry : listing.entries) {
            const fs::path file = drive / platform::toPath(entry.name);
            EXPECT_EQ(compareWithEntry(file, entry), FileComparison::Same) << entry.name;
            switch (index++ % 3) {
            case 0: test::writeTree(drive, {{entry.name, tree.at(entry.name) + "!"}});
                    EXPECT_EQ(compareWithEntry(file, entry), FileComparison::Differs);
                    break;
            case 1: fs::remove(file);
                    EXPECT_EQ(compareWithEntry(file, entry), FileComparison::Missing);
                    break;
            default: break;
            }
        }
        test::writeTree(drive, {{"Quillon/Gridmark/new file.txt", "not in the backup"}});
        Tree expected = tree;
        expected["Quillon/Gridmark/new file.txt"] = "not in the backup";

        for (std::uint64_t threshold : {kSmallThreshold, kDefaultStreamingThreshold}) {
            WorkProgress restoring;
            CGUnzipFiles unzip;
            unzip.setWorkProgress(&restoring);
            unzip.setStreamingThreshold(threshold);
            ASSERT_EQ(unzip.Unzip(archive, platform::fromPath(drive)), kUnzipOk) << unzip.GetLastMessage();
            EXPECT_EQ(test::readTree(drive), expected) << seed;
            EXPECT_EQ(restoring.filesWritten, tree.size());
            EXPECT_EQ(restoring.bytesDone, total);
        }
    }
}

TEST(ZipRoundTrip, InfoZipArchiveRestoresThroughOurExtractor)
{
    TempDir dir;
    const fs::path source = dir.mkdir("source");
    const Tree tree = randomTree(9);
    test::writeTree(source, tree);
    // Folder entries, deflated and (for .rpy) stored entries; then sizes
    // in data descriptors after the data, as streaming writers leave them.
    for (const char* options : {"-n .rpy", "-fd"}) {
        const std::string archive = dir.text() + "/infozip.zip";
        fs::remove(archive);
        ASSERT_EQ(run("cd " + shellQuote(source) + " && zip -qr " + options + " " + shellQuote(archive) + " Quillon"), 0);
        const TempDir target;
        CGUnzipFiles unzip;
        ASSERT_EQ(unzip.Unzip(archive, target.text()), kUnzipOk) << options << ": " << unzip.GetLastMessage();
        EXPECT_EQ(test::readTree(target.path()), tree) << options;
        EXPECT_TRUE(fs::is_directory(target.path() / "Quillon/Gridmark/players/Ann Lee"));
    }
}

}  // namespace
}  // namespace gm::backup
