// Random records files and random strengths: the save ends, keeps every
// byte outside the strength values, and reads back as written.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "autoai/player_records.h"
#include "common/lines.h"
#include "common/numbers.h"

namespace gm::autoai {
namespace {

class RandomRecords {
public:
    explicit RandomRecords(std::uint32_t seed) : random_(seed) {}

    std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

    std::string bytes(std::size_t maxLength)
    {
        static const std::string interesting = " \t\r\n=[]_.-0123456789ABab\x80\xe9\xff";
        std::string out;
        const std::size_t n = below(maxLength + 1);
        for (std::size_t i = 0; i < n; ++i) {
            out += below(6) == 0 ? static_cast<char>(below(256)) : interesting[below(interesting.size())];
        }
        return out;
    }

    std::string lineEnd()
    {
        const std::size_t pick = below(10);
        return pick < 6 ? "\r\n" : pick < 8 ? "\r" : pick == 8 ? "\n" : "";
    }

    std::string line()
    {
        static const std::vector<std::string> names = {"atlanta", "Atlanta", "daytona", "bristol", "x", ""};
        switch (below(9)) {
        case 0:
            return "[" + names[below(names.size())] + (below(4) == 0 ? "" : "]");
        case 1:
        case 2:
            return std::string(kStrengthKey) + bytes(6);
        case 3:
        case 4:
            return std::string(kLapKeys[below(kLapKeys.size())]) + bytes(6);
        case 5:
            return bytes(4) + std::string(kStrengthKey) + bytes(4);  // the key inside a line
        case 6:
            return std::string(kStrengthKey.substr(0, below(kStrengthKey.size()))) + bytes(4);
        default:
            return bytes(12);
        }
    }

    std::string file()
    {
        std::string out;
        const std::size_t lines = below(40);
        for (std::size_t i = 0; i < lines; ++i) {
            out += line() + lineEnd();
        }
        return out;
    }

    // A strength as the window stores it could be anything on one line.
    std::string strength()
    {
        std::string out = bytes(8);
        std::erase(out, '\r');
        return out;
    }

private:
    std::mt19937 random_;
};

TEST(PlayerRecordsProperty, SaveKeepsEveryOtherByteAndReadsBackTheStrengths)
{
    for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
        RandomRecords random(seed);
        const std::string in = random.file();
        PlayerRecords records = readRecords(in);
        ASSERT_EQ(records.Sections.size(), records.TrackTable.size());
        std::vector<std::string> strengths;
        for (TrackRow& row : records.TrackTable) {
            row[0] = random.strength();
            strengths.push_back(row[0]);
        }
        const std::string saved = savedBytes(records);

        // Line by line: the same lines plus one empty one, and only what
        // follows the key of a strength line inside a section changed.
        const std::vector<std::string> before = common::splitLines(in);
        const std::vector<std::string> after = common::splitLines(saved);
        ASSERT_EQ(after.size(), before.size() + 1) << "seed " << seed;
        EXPECT_EQ(after.back(), "") << "seed " << seed;
        EXPECT_EQ(saved, common::joinLines(after)) << "seed " << seed;
        std::size_t section = 0;
        GroupValues sums{};
        std::vector<bool> hasStrengthLine(strengths.size(), false);
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (before[i].starts_with('[')) {
                ++section;
            }
            if (section == 0 || !before[i].starts_with(kStrengthKey)) {
                ASSERT_EQ(after[i], before[i]) << "seed " << seed << " line " << i;
                continue;
            }
            ASSERT_EQ(after[i], std::string(kStrengthKey) + strengths[section - 1]) << "seed " << seed;
            hasStrengthLine[section - 1] = true;
            if (const std::optional<std::size_t> group = groupOfSection(records.Sections[section - 1])) {
                sums[*group] += common::leadingNumber(strengths[section - 1]);
            }
        }

        // Read back: the same sections and lap times, the strengths written
        // (none where a section has no strength line), and the sums of them.
        const PlayerRecords back = readRecords(saved);
        ASSERT_EQ(back.Sections, records.Sections) << "seed " << seed;
        for (std::size_t k = 0; k < back.TrackTable.size(); ++k) {
            EXPECT_EQ(back.TrackTable[k][0], hasStrengthLine[k] ? strengths[k] : "") << "seed " << seed << " row " << k;
            for (std::size_t column = 1; column < kColumnCount; ++column) {
                EXPECT_EQ(back.TrackTable[k][column], records.TrackTable[k][column]) << "seed " << seed;
            }
        }
        EXPECT_EQ(back.GroupSums, sums) << "seed " << seed;
    }
}

}  // namespace
}  // namespace gm::autoai
