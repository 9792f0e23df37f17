// An installed copy reads the track defaults from its share folder; a file
// beside the program (portable use) comes first.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "track/track_defaults.h"

namespace gm::track {
namespace {

std::string record(const std::string& name, const std::string& value)
{
    std::string line = '"' + name + '"';
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        line += ",\"" + value + '"';
    }
    return line + "\r\n";
}

TEST(TrackDefaultsInstalled, TheShareFolderServesWhenNoneIsBesideTheProgram)
{
    test::TempDir prefix;
    const std::filesystem::path bin = prefix.mkdir("bin");
    prefix.write("share/gridmark-editor/defaultTrackini.dat", record("atlanta", "1.5"));

    DefaultsResult found = readDefaults(bin, "atlanta");
    ASSERT_EQ(found.status, DefaultsStatus::Found);
    EXPECT_EQ(found.values[11], "1.5");
    EXPECT_EQ(defaultsPath(bin), prefix.path() / "share/gridmark-editor/defaultTrackini.dat");

    prefix.write("bin/defaultTrackini.dat", record("atlanta", "0.7"));
    found = readDefaults(bin, "atlanta");
    ASSERT_EQ(found.status, DefaultsStatus::Found);
    EXPECT_EQ(found.values[0], "0.7");
    EXPECT_EQ(defaultsPath(bin), bin / "defaultTrackini.dat");
}

}  // namespace
}  // namespace gm::track
