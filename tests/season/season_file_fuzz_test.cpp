// Random schedules survive a write and a read; damaged files never crash
// or hang the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "season_test_support.h"

namespace gm::season {
namespace {

class RandomSchedule {
public:
    explicit RandomSchedule(std::uint32_t seed) : random_(seed) {}

    std::size_t below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }

    // Text as a box can hold it: any byte but CR and LF, not ending in a
    // blank or TAB (the reader drops those); "t" where it may not be empty.
    std::string text(std::size_t maxLength, bool allowEmpty)
    {
        std::string out(below(maxLength + 1), 'x');
        for (char& c : out) {
            c = static_cast<char>(below(256));
            c = c == '\r' || c == '\n' ? 'x' : c;
        }
        while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) {
            out.pop_back();
        }
        return out.empty() && !allowEmpty ? "t" : out;
    }

    Schedule schedule()
    {
        Schedule s{text(40, true), text(8, true), static_cast<int>(below(kMaxEvents + 1)), {}};
        for (std::size_t r = 0; r < static_cast<std::size_t>(s.eventCount); ++r) {
            s.events[r] = {std::to_string(r + 1),     std::to_string(1 + below(31)),    std::to_string(1 + below(12)),
                           text(60, true),            std::to_string(1 + below(99999)), text(20, false),
                           below(2) == 0 ? "1" : "2"};
        }
        return s;
    }

private:
    std::mt19937 random_;
};

// Each seed writes a random schedule, reads it back, then damages the bytes
// at random places (cut, insert, overwrite, delete) and reads them again.
TEST(SeasonFileFuzz, RandomSchedulesReadBackAsWrittenAndDamagedFilesDoNotCrashOrHang)
{
    for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
        RandomSchedule random(seed);
        Schedule s = random.schedule();
        if (seed > 300) {  // small files, where a damage hits the season block more often
            s.eventCount = std::min(s.eventCount, static_cast<int>(random.below(6)));
        }
        std::string bytes = writeSchedule(s);
        const ReadResult read = readSchedule(bytes);
        ASSERT_TRUE(read.valid) << "seed " << seed;
        EXPECT_EQ(read.name, s.name) << "seed " << seed;
        EXPECT_EQ(read.year, s.year) << "seed " << seed;
        ASSERT_EQ(read.eventNames.size(), static_cast<std::size_t>(s.eventCount)) << "seed " << seed;
        for (std::size_t r = 0; r < read.eventNames.size(); ++r) {
            EXPECT_EQ(read.events[r], s.events[r]) << "seed " << seed << " row " << r;
            EXPECT_EQ(read.eventNames[r], s.events[r][kName]) << "seed " << seed << " row " << r;
        }
        EXPECT_EQ(writeSchedule(test::scheduleOf(read)), bytes) << "seed " << seed;

        const std::size_t edits = 1 + random.below(6);
        for (std::size_t e = 0; e < edits && !bytes.empty(); ++e) {
            const std::size_t at = random.below(bytes.size());
            switch (random.below(4)) {
            case 0:
                bytes.resize(at);
                break;
            case 1:
                bytes.insert(at, 1, "\r\n\t [ ]0123456789x"[random.below(18)]);
                break;
            case 2:
                bytes[at] = static_cast<char>(random.below(256));
                break;
            default:
                bytes.erase(at, 1 + random.below(20));
                break;
            }
        }
        const ReadResult damaged = readSchedule(bytes);
        EXPECT_LE(damaged.eventNames.size(), static_cast<std::size_t>(kMaxEvents)) << "seed " << seed;
        if (damaged.valid) {
            // A file taken as valid gives a schedule that writes and reads
            // back to the same thing.
            const ReadResult second = readSchedule(writeSchedule(test::scheduleOf(damaged)));
            EXPECT_TRUE(second.valid) << "seed " << seed;
            EXPECT_EQ(second.events, damaged.events) << "seed " << seed;
            EXPECT_EQ(second.name, damaged.name) << "seed " << seed;
        }
    }
}

}  // namespace
}  // namespace gm::season
