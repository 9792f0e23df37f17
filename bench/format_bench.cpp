// Speed of the file formats on large inputs: a long track.ini rewritten
// with new values, and a full 99-event season written and read back. The
// editor works on one file per click, so each must stay far below what a
// user notices (a few milliseconds) even for files much larger than the
// game ships.
#include <benchmark/benchmark.h>

#include <string>

#include "season/season_file.h"
#include "track/track_ini.h"

namespace {

std::string bigTrackIni(int repeats)
{
    std::string text;
    for (int r = 0; r < repeats; ++r) {
        text += "[ track section ]\r\n// a comment line that is kept as it is\r\n";
        for (std::size_t key = 0; key < gm::track::kKeyCount; ++key) {
            text += std::string(gm::track::kKeyPrefixes[key]) + "1.000  // modifier " + std::to_string(key) + "\r\n";
        }
        text += "other_key = 17\r\n";
    }
    return text;
}

void trackIniRewrite(benchmark::State& state)
{
    const std::string text = bigTrackIni(static_cast<int>(state.range(0)));
    gm::track::TrackValues values;
    for (std::string& v : values) {
        v = "0.975";
    }
    for (auto _ : state) {
        const gm::track::TrackValues read = gm::track::readValues(text);
        std::string out = gm::track::writeValues(text, values);
        benchmark::DoNotOptimize(read);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(trackIniRewrite)->Arg(1)->Arg(100)->Arg(10000);

void seasonWriteAndRead(benchmark::State& state)
{
    gm::season::Schedule schedule;
    schedule.name = "Benchmark Season";
    schedule.year = "2026";
    schedule.eventCount = 99;
    for (int r = 0; r < 99; ++r) {
        schedule.events[static_cast<std::size_t>(r)] = {std::to_string(r + 1), "12", "6", "Event number " + std::to_string(r + 1),
                                                          "250", "atlanta", "1"};
    }
    for (auto _ : state) {
        const std::string bytes = gm::season::writeSchedule(schedule);
        const gm::season::ReadResult read = gm::season::readSchedule(bytes);
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(seasonWriteAndRead);

}  // namespace

BENCHMARK_MAIN();
