// The defaults file: finding a track's record, and where the file is read.
#include <gtest/gtest.h>

#include <optional>
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

// The values found for a track; nothing unless its record was found.
std::optional<TrackValues> found(const DefaultsResult& result)
{
    return result.status == DefaultsStatus::Found ? std::optional(result.values) : std::nullopt;
}

TEST(TrackDefaults, OnePerLineAndCommaSeparatedLayoutsGiveTheSameRecord)
{
    const std::string perLine = record("atlanta", "1.1", "\r\n") + record("Brands Hatch", "1.2", "\r\n");
    const std::string commas = record("atlanta", "1.1", ",") + record("Brands Hatch", "1.2", ",");
    const std::string mixed = record("atlanta", "1.1", ",") + record("Brands Hatch", "1.2", "\r\n");
    for (const std::string& file : {perLine, commas, mixed}) {
        EXPECT_EQ(found(findDefaults(file, "atlanta")), expectedRecord("1.1"));
        EXPECT_EQ(found(findDefaults(file, "Brands Hatch")), expectedRecord("1.2"));
    }
    // Unquoted fields and blanks before fields follow the same field rule.
    EXPECT_EQ(found(findDefaults("  atlanta, 1.1,1.5, 2.5,3.5,4.5,5.5,6.5,7.5,8.5,9.5,10.5,11.5\r\n", "atlanta")),
              expectedRecord("1.1"));
}

TEST(TrackDefaults, NamesMatchExactlyEveryFieldIsComparedAndALaterRecordWins)
{
    const std::string file =
        record("atlanta", "1.1", ",") + record("Atlanta", "9.9", ",") + record("atlanta", "1.3", ",");
    EXPECT_EQ(found(findDefaults(file, "atlanta")), expectedRecord("1.3"));
    EXPECT_EQ(found(findDefaults(file, "Atlanta")), expectedRecord("9.9"));
    for (const char* name : {"ATLANTA", "atlant"}) {
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
    const std::string full = record("atlanta", "1.1", ",");
    // Every shorter cut inside the record's values is reported.
    std::string cut = "\"atlanta\"";
    for (int values = 0; values < 12; ++values, cut += ",\"1\"") {
        EXPECT_EQ(findDefaults(cut, "atlanta").status, DefaultsStatus::Incomplete) << cut;
    }
    // Even after a complete earlier record.
    EXPECT_EQ(findDefaults(full + "\"atlanta\",\"1\",\"2\"\r\n", "atlanta").status, DefaultsStatus::Incomplete);
    // Another track's short record does not matter.
    EXPECT_EQ(found(findDefaults(full + "\"zolder\",\"1\"\r\n", "atlanta")), expectedRecord("1.1"));
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
    EXPECT_EQ(found(readDefaults(bin, "atlanta")), expectedRecord("1.1"));
    EXPECT_EQ(readDefaults(bin, "zolder").status, DefaultsStatus::NotFound);

    std::filesystem::remove(bin / "defaultTrackini.dat");
    prefix.write("bin/defaultTrackini.dat", record("atlanta", "0.7", ","));
    EXPECT_EQ(defaultsPath(bin), bin / "defaultTrackini.dat");
    EXPECT_EQ(found(readDefaults(bin, "atlanta")), expectedRecord("0.7"));
}

}  // namespace
}  // namespace gm::track
