// The defaults file: finding a track's record, and where the file is read.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/temp_dir.h"
#include "track/track_defaults.h"
#include "track_test_support.h"

namespace gm::track {
namespace {

using test::defaultsRecord;
using test::TempDir;
using test::valuesOf;

// The values found for a track; nothing unless its record was found.
std::optional<TrackValues> found(const DefaultsResult& result)
{
    return result.status == DefaultsStatus::Found ? std::optional(result.values) : std::nullopt;
}

TEST(TrackDefaults, NamesMatchExactlyEveryFieldIsComparedAndALaterRecordWins)
{
    // Records one field a line and comma separated, mixed in one file.
    const std::string file = defaultsRecord("atlanta", valuesOf(1), "\r\n") + defaultsRecord("Atlanta", valuesOf(2)) +
                             defaultsRecord("Brands Hatch", valuesOf(3), "\r\n") + defaultsRecord("atlanta", valuesOf(4));
    EXPECT_EQ(found(findDefaults(file, "atlanta")), valuesOf(4));
    EXPECT_EQ(found(findDefaults(file, "Atlanta")), valuesOf(2));
    EXPECT_EQ(found(findDefaults(file, "Brands Hatch")), valuesOf(3));
    for (const char* name : {"ATLANTA", "atlant", "Brands"}) {
        EXPECT_EQ(findDefaults(file, name).status, DefaultsStatus::NotFound) << name;
    }
    EXPECT_EQ(findDefaults("", "atlanta").status, DefaultsStatus::NotFound);

    // A track named like a value: the value field matches and the twelve
    // fields after it are taken, as reading field by field does.
    const std::string byField = "\"a\",\"x\",\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\",\"11\"\r\n"
                                "\"b\",\"12\",\"13\",\"14\",\"15\",\"16\",\"17\",\"18\",\"19\",\"20\",\"21\",\"22\",\"23\"\r\n";
    EXPECT_EQ(found(findDefaults(byField, "x")), (TrackValues{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "b"}));
}

TEST(TrackDefaults, ARecordCutShortIsIncomplete)
{
    // Every shorter cut inside the record's values is reported.
    std::string cut = "\"atlanta\"";
    for (int values = 0; values < 12; ++values, cut += ",\"1\"") {
        EXPECT_EQ(findDefaults(cut, "atlanta").status, DefaultsStatus::Incomplete) << cut;
    }
    // Even after a complete earlier record; another track's short record
    // does not matter.
    const std::string full = defaultsRecord("atlanta", valuesOf(1));
    EXPECT_EQ(findDefaults(full + "\"atlanta\",\"1\",\"2\"\r\n", "atlanta").status, DefaultsStatus::Incomplete);
    EXPECT_EQ(found(findDefaults(full + "\"zolder\",\"1\"\r\n", "atlanta")), valuesOf(1));
}

TEST(TrackDefaults, ReadsTheFileBesideTheProgramOrElseTheInstalledOne)
{
    // An installed copy reads the file from its share folder; a file beside
    // the program (portable use) comes first.
    TempDir prefix;
    const std::filesystem::path bin = prefix.mkdir("bin");
    EXPECT_EQ(readDefaults(bin, "atlanta").status, DefaultsStatus::MissingFile);
    prefix.mkdir("bin/defaultTrackini.dat");
    EXPECT_EQ(readDefaults(bin, "atlanta").status, DefaultsStatus::MissingFile);

    prefix.write("share/gridmark-editor/defaultTrackini.dat", defaultsRecord("atlanta", valuesOf(1)));
    EXPECT_EQ(defaultsPath(bin), prefix.path() / "share/gridmark-editor/defaultTrackini.dat");
    EXPECT_EQ(found(readDefaults(bin, "atlanta")), valuesOf(1));

    std::filesystem::remove(bin / "defaultTrackini.dat");
    prefix.write("bin/defaultTrackini.dat", defaultsRecord("atlanta", valuesOf(7)));
    EXPECT_EQ(defaultsPath(bin), bin / "defaultTrackini.dat");
    EXPECT_EQ(found(readDefaults(bin, "atlanta")), valuesOf(7));
}

}  // namespace
}  // namespace gm::track
