#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "track/track_defaults.h"

namespace gm::track {
namespace {

using test::TempDir;

// A record's values: the first one given, then "1.5" to "11.5".
TrackValues expectedRecord(const std::string& first)
{
    TrackValues values;
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = i == 0 ? first : std::to_string(i) + ".5";
    }
    return values;
}

// That record as the defaults file writes it: thirteen quoted fields.
std::string record(const std::string& name, const std::string& first, const char* separator)
{
    std::string out = "\"" + name + "\"";
    for (const std::string& value : expectedRecord(first)) {
        out += separator + ("\"" + value + "\"");
    }
    return out + "\r\n";
}

TEST(TrackDefaults, OnePerLineAndCommaSeparatedLayoutsGiveTheSameRecord)
{
    const std::string perLine = record("atlanta", "1.1", "\r\n") + record("Brands Hatch", "1.2", "\r\n");
    const std::string commas = record("atlanta", "1.1", ",") + record("Brands Hatch", "1.2", ",");
    const std::string mixed = record("atlanta", "1.1", ",") + record("Brands Hatch", "1.2", "\r\n");
    for (const std::string& file : {perLine, commas, mixed}) {
        const DefaultsResult a = findDefaults(file, "atlanta");
        ASSERT_EQ(a.status, DefaultsStatus::Found);
        EXPECT_EQ(a.values, expectedRecord("1.1"));
        const DefaultsResult b = findDefaults(file, "Brands Hatch");
        ASSERT_EQ(b.status, DefaultsStatus::Found);
        EXPECT_EQ(b.values, expectedRecord("1.2"));
    }
    // Unquoted fields and blanks before fields follow the same field rule.
    const DefaultsResult plain =
        findDefaults("  atlanta, 1.1,1.5, 2.5,3.5,4.5,5.5,6.5,7.5,8.5,9.5,10.5,11.5\r\n", "atlanta");
    ASSERT_EQ(plain.status, DefaultsStatus::Found);
    EXPECT_EQ(plain.values, expectedRecord("1.1"));
}

TEST(TrackDefaults, NamesMatchExactlyAndALaterRecordWins)
{
    const std::string file =
        record("atlanta", "1.1", ",") + record("Atlanta", "9.9", ",") + record("atlanta", "1.3", ",");
    const DefaultsResult later = findDefaults(file, "atlanta");
    ASSERT_EQ(later.status, DefaultsStatus::Found);
    EXPECT_EQ(later.values, expectedRecord("1.3"));
    EXPECT_EQ(findDefaults(file, "Atlanta").values, expectedRecord("9.9"));
    EXPECT_EQ(findDefaults(file, "ATLANTA").status, DefaultsStatus::NotFound);
    EXPECT_EQ(findDefaults(file, "atlant").status, DefaultsStatus::NotFound);
    EXPECT_EQ(findDefaults("", "atlanta").status, DefaultsStatus::NotFound);
}

TEST(TrackDefaults, EveryFieldIsComparedValuesIncluded)
{
    // A track named like a value: the value field matches and the twelve
    // fields after it are taken, as reading field by field does.
    const std::string file = "\"a\",\"x\",\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\",\"11\"\r\n"
                             "\"b\",\"12\",\"13\",\"14\",\"15\",\"16\",\"17\",\"18\",\"19\",\"20\",\"21\",\"22\",\"23\"\r\n";
    const DefaultsResult x = findDefaults(file, "x");
    ASSERT_EQ(x.status, DefaultsStatus::Found);
    EXPECT_EQ(x.values, (TrackValues{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "b"}));
}

TEST(TrackDefaults, ARecordCutShortIsIncomplete)
{
    const std::string full = record("atlanta", "1.1", ",");
    // Every shorter cut inside the record's values is reported.
    for (int values = 0; values < 12; ++values) {
        std::string cut = "\"atlanta\"";
        for (int i = 0; i < values; ++i) {
            cut += ",\"1\"";
        }
        EXPECT_EQ(findDefaults(cut, "atlanta").status, DefaultsStatus::Incomplete) << cut;
    }
    // Even after a complete earlier record.
    EXPECT_EQ(findDefaults(full + "\"atlanta\",\"1\",\"2\"\r\n", "atlanta").status, DefaultsStatus::Incomplete);
    // Another track's short record does not matter.
    const DefaultsResult other = findDefaults(full + "\"zolder\",\"1\"\r\n", "atlanta");
    EXPECT_EQ(other.status, DefaultsStatus::Found);
    EXPECT_EQ(other.values, expectedRecord("1.1"));
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

    prefix.write("share/gridmark-editor/defaultTrackini.dat", record("atlanta", "1.1", "\r\n"));
    EXPECT_EQ(defaultsPath(bin), prefix.path() / "share/gridmark-editor/defaultTrackini.dat");
    EXPECT_EQ(readDefaults(bin, "atlanta").values, expectedRecord("1.1"));
    EXPECT_EQ(readDefaults(bin, "zolder").status, DefaultsStatus::NotFound);

    std::filesystem::remove(bin / "defaultTrackini.dat");
    prefix.write("bin/defaultTrackini.dat", record("atlanta", "0.7", ","));
    EXPECT_EQ(defaultsPath(bin), bin / "defaultTrackini.dat");
    const DefaultsResult found = readDefaults(bin, "atlanta");
    ASSERT_EQ(found.status, DefaultsStatus::Found);
    EXPECT_EQ(found.values, expectedRecord("0.7"));
}

}  // namespace
}  // namespace gm::track
