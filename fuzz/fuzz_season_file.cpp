// The season reader and writer. The first input byte chooses the mode:
// a schedule made from the input is written and read back unchanged, or the
// input is read as a file, and whatever a valid file gives is written and
// read again to the same values.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "season/season_file.h"

using namespace gm::season;

namespace {

// Text as a box holds it: no line ends, not ending in a blank or TAB (the
// reader drops those).
std::string boxText(FuzzedDataProvider& input, std::size_t maxLength, bool allowEmpty)
{
    std::string text = input.ConsumeRandomLengthString(maxLength);
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.pop_back();
    }
    if (text.empty() && !allowEmpty) {
        text = "t";
    }
    return text;
}

Schedule scheduleOf(const ReadResult& read)
{
    Schedule schedule;
    schedule.name = read.name;
    schedule.year = read.year;
    schedule.eventCount = static_cast<int>(read.eventNames.size());
    schedule.events = read.events;
    return schedule;
}

void writtenScheduleReadsBack(FuzzedDataProvider& input)
{
    Schedule schedule;
    schedule.name = boxText(input, 60, true);
    schedule.year = boxText(input, 10, true);
    // The input pays for its events (a few bytes each), so that short
    // inputs stay quick and a long one can still fill all 99.
    const auto most = std::min<std::size_t>(kMaxEvents, input.remaining_bytes() / 4);
    schedule.eventCount = input.ConsumeIntegralInRange(0, static_cast<int>(most));
    for (int r = 0; r < schedule.eventCount; ++r) {
        schedule.events[static_cast<std::size_t>(r)] = {
            std::to_string(r + 1),
            std::to_string(input.ConsumeIntegralInRange(1, 31)),
            std::to_string(input.ConsumeIntegralInRange(1, 12)),
            boxText(input, 60, true),
            std::to_string(input.ConsumeIntegralInRange(1, 99999)),
            boxText(input, 30, false),
            input.ConsumeBool() ? "1" : "2",
        };
    }
    const std::string bytes = writeSchedule(schedule);
    const ReadResult read = readSchedule(bytes);
    GM_FUZZ_CHECK(read.valid, "a written schedule reads as valid");
    GM_FUZZ_CHECK(read.name == schedule.name && read.year == schedule.year, "name and year read back");
    GM_FUZZ_CHECK(read.eventNames.size() == static_cast<std::size_t>(schedule.eventCount), "the event count reads back");
    for (std::size_t r = 0; r < read.eventNames.size(); ++r) {
        GM_FUZZ_CHECK(read.events[r] == schedule.events[r], "every event reads back");
        GM_FUZZ_CHECK(read.eventNames[r] == schedule.events[r][kName], "the event list reads back in race order");
    }
    GM_FUZZ_CHECK(writeSchedule(scheduleOf(read)) == bytes, "what was read writes the same file");
}

void readWriteRead(std::string_view bytes)
{
    const ReadResult read = readSchedule(bytes);
    GM_FUZZ_CHECK(read.eventNames.size() <= static_cast<std::size_t>(kMaxEvents), "at most 99 events");
    if (!read.valid) {
        return;
    }
    const std::string written = writeSchedule(scheduleOf(read));
    const ReadResult again = readSchedule(written);
    GM_FUZZ_CHECK(again.valid, "a valid file's schedule writes a valid file");
    GM_FUZZ_CHECK(again.name == read.name && again.year == read.year, "name and year survive a write and a read");
    GM_FUZZ_CHECK(again.eventNames == read.eventNames, "the events survive a write and a read");
    GM_FUZZ_CHECK(again.events == read.events, "the event table survives a write and a read");
    GM_FUZZ_CHECK(writeSchedule(scheduleOf(again)) == written, "the second write gives the same file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    if (data[0] % 4 == 0) {
        FuzzedDataProvider input(data + 1, size - 1);
        writtenScheduleReadsBack(input);
    } else {
        readWriteRead(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    }
    return 0;
}
