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

struct Random {
    std::mt19937 engine;
    std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(engine); }
    std::string bytes(std::size_t maxLength)
    {
        static const std::string interesting = " \t\r\n=[]_.-0123456789ABab\x80\xe9\xff";
        std::string out(below(maxLength + 1), ' ');
        for (char& c : out) {
            c = below(6) == 0 ? static_cast<char>(below(256)) : interesting[below(interesting.size())];
        }
        return out;
    }
    // Section lines (some without "]"), strength and lap-time lines, the key
    // inside a line or cut short, and stray bytes, ended by CR LF, CR, LF or
    // nothing.
    std::string file()
    {
        static const std::vector<std::string> names = {"atlanta", "Atlanta", "daytona", "bristol", "x", ""};
        static const std::vector<std::string> ends = {"\r\n", "\r\n", "\r\n", "\r", "\n", ""};
        std::string out;
        for (std::size_t lines = below(40); lines > 0; --lines) {
            switch (below(8)) {
            case 0:
                out += "[" + names[below(names.size())] + (below(4) == 0 ? "" : "]");
                break;
            case 1:
            case 2:
                out += std::string(kStrengthKey) + bytes(6);
                break;
            case 3:
                out += std::string(kLapKeys[below(kLapKeys.size())]) + bytes(6);
                break;
            case 4:
                out += bytes(4) + std::string(kStrengthKey) + bytes(4);
                break;
            case 5:
                out += std::string(kStrengthKey.substr(0, below(kStrengthKey.size()))) + bytes(4);
                break;
            default:
                out += bytes(12);
            }
            out += ends[below(ends.size())];
        }
        return out;
    }
};

TEST(PlayerRecordsProperty, SaveKeepsEveryOtherByteAndReadsBackTheStrengths)
{
    for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
        Random random{std::mt19937(seed)};
        const std::string in = random.file();
        PlayerRecords records = readRecords(in);
        ASSERT_EQ(records.Sections.size(), records.TrackTable.size());
        std::vector<std::string> strengths;
        for (TrackRow& row : records.TrackTable) {
            row[0] = random.bytes(8);  // anything on one line
            std::erase(row[0], '\r');
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
            section += before[i].starts_with('[') ? 1 : 0;
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
            TrackRow expected = records.TrackTable[k];
            expected[0] = hasStrengthLine[k] ? strengths[k] : "";
            EXPECT_EQ(back.TrackTable[k], expected) << "seed " << seed << " row " << k;
        }
        EXPECT_EQ(back.GroupSums, sums) << "seed " << seed;
    }
}

}  // namespace
}  // namespace gm::autoai
