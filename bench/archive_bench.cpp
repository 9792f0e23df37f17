// Backup and restore speed against Info-ZIP, and the memory a backup needs.
//
// Builds a game folder of about 200 MB in a temporary folder (a dozen 16 MB
// replays of partly compressible data, some hundreds of small setup and text
// files), then, interleaved over several runs, packs it with the program's
// archive code and with `zip -1 -r` and `zip -6 -r`, and unpacks it with the
// program's code and with `unzip`. Prints medians, ratios and archive sizes,
// and the peak memory (maxrss of a child process) of one backup. With
// --big it also measures the peak memory of a backup of 2 GB of replays.
//
//   archive_bench [--runs N] [--big] [--keep]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "backup/zip_builder.h"
#include "backup/zip_extractor.h"
#include "platform/fs.h"

namespace {

namespace fs = std::filesystem;
using gm::backup::CGUnzipFiles;
using gm::backup::CGZipFiles;

constexpr std::size_t kMiB = 1024 * 1024;

// Replay-like data: fixed-size records of slowly changing values with some
// sensor noise, and now and then a burst of random bytes.
std::string replayBytes(std::uint64_t seed, std::size_t size)
{
    std::mt19937_64 random(seed);
    std::string out(size, '\0');
    std::int32_t position[6] = {};
    std::size_t i = 0;
    std::uint32_t frame = 0;
    while (i + 32 <= size) {
        if (random() % 200 == 0) {
            for (std::size_t k = 0; k < 256 && i + 8 <= size; k += 8, i += 8) {
                const std::uint64_t noise = random();
                std::memcpy(&out[i], &noise, 8);
            }
            continue;
        }
        ++frame;
        std::memcpy(&out[i], &frame, 4);
        for (int k = 0; k < 6; ++k) {
            position[k] += static_cast<std::int32_t>(random() % 7) - 3;
            std::memcpy(&out[i + 4 + static_cast<std::size_t>(k) * 4], &position[k], 4);
        }
        const std::uint32_t sensors = static_cast<std::uint32_t>(random());
        std::memcpy(&out[i + 28], &sensors, 4);
        i += 32;
    }
    return out;
}

std::string textBytes(std::mt19937& random, std::size_t size)
{
    static const char* words[] = {"car_number=", "tyre_wear", "grip", "1.000", "0.975", "[setup]", "laps=", "\r\n",
                                  "driver", "Ann Lee", "atlanta", "brake_bias=", "57", "fuel=", "// comment"};
    std::string out;
    while (out.size() < size) {
        out += words[random() % 15];
        out += random() % 3 == 0 ? "\r\n" : " ";
    }
    out.resize(size);
    return out;
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The game folder below drive/Quillon/Gridmark; returns every file.
std::vector<fs::path> buildGameFolder(const fs::path& drive, int replays, std::size_t replaySize, int smallFiles)
{
    const fs::path game = drive / "Quillon" / "Gridmark";
    std::vector<fs::path> files;
    for (int r = 0; r < replays; ++r) {
        files.push_back(game / "replay" / ("race " + std::to_string(r) + ".rpy"));
        writeFile(files.back(), replayBytes(static_cast<std::uint64_t>(r) + 1, replaySize));
    }
    std::mt19937 random(42);
    const char* folders[] = {"players/Ann Lee", "players/Bob", "series/cup/cars", "tracks/atlanta", "tracks/Brands Hatch",
                             "exports_imports"};
    for (int i = 0; i < smallFiles; ++i) {
        files.push_back(game / folders[i % 6] / ("file " + std::to_string(i) + ".ini"));
        writeFile(files.back(), textBytes(random, 1000 + random() % 20000));
    }
    return files;
}

double cpuSeconds()
{
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

// Wall time of the work; its processor time (all threads and child
// processes) is added to `cpu`, since on a busy machine wall times mostly
// measure the other processes.
double seconds(const std::function<void()>& work, std::vector<double>& cpu)
{
    const double cpuStart = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cpu.push_back(cpuSeconds() - cpuStart);
    return wall;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void shell(const std::string& command)
{
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

std::string quoted(const fs::path& path)
{
    std::string out(1, '\'');
    out.append(path.string());
    out.push_back('\'');
    return out;
}

int packOurs(const std::vector<fs::path>& files, const fs::path& archive)
{
    CGZipFiles zip;
    zip.setZipFileName(gm::platform::fromPath(archive));
    for (const fs::path& file : files) {
        zip.AddFile(gm::platform::fromPath(file));
    }
    return zip.MakeZipFile();
}

int unpackOurs(const fs::path& archive, const fs::path& target)
{
    CGUnzipFiles unzip;
    return unzip.Unzip(gm::platform::fromPath(archive), gm::platform::fromPath(target));
}

// Peak resident memory (MB) of a child process running the work.
double peakMemory(const std::function<int()>& work)
{
    const pid_t child = fork();
    if (child == 0) {
        _exit(work() == 0 ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the measured backup failed\n");
        std::exit(1);
    }
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void memoryOfBackup(const fs::path& base, const char* label, int replays, std::size_t replaySize, int smallFiles)
{
    const fs::path drive = base / label / "drive_c";
    const std::vector<fs::path> files = buildGameFolder(drive, replays, replaySize, smallFiles);
    std::uintmax_t total = 0;
    for (const fs::path& f : files) {
        total += fs::file_size(f);
    }
    const fs::path archive = base / label / "backup.zip";
    const double mb = peakMemory([&] { return packOurs(files, archive); });
    std::printf("peak memory of a backup of %.0f MB (%zu files): %.1f MB (archive %.0f MB)\n",
                static_cast<double>(total) / kMiB, files.size(), mb,
                static_cast<double>(fs::file_size(archive)) / kMiB);
    fs::remove_all(base / label);
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    bool big = false;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--big") {
            big = true;
        } else if (arg == "--keep") {
            keep = true;
        } else {
            std::fprintf(stderr, "usage: archive_bench [--runs N] [--big] [--keep]\n");
            return 2;
        }
    }

    const fs::path base = fs::temp_directory_path() / ("gm-archive-bench-" + std::to_string(getpid()));
    const fs::path drive = base / "drive_c";
    std::printf("building the game folder in %s ...\n", base.string().c_str());
    const std::vector<fs::path> files = buildGameFolder(drive, 12, 16 * kMiB, 400);
    std::uintmax_t total = 0;
    for (const fs::path& f : files) {
        total += fs::file_size(f);
    }
    std::printf("%zu files, %.1f MB; %d runs, interleaved\n\n", files.size(), static_cast<double>(total) / kMiB, runs);

    const fs::path ours = base / "ours.zip";
    const fs::path zip1 = base / "zip1.zip";
    const fs::path zip6 = base / "zip6.zip";
    const fs::path outOurs = base / "out-ours";
    const fs::path outUnzip = base / "out-unzip";
    std::vector<double> tOurs, tZip1, tZip6, tUnOurs, tUnzip;
    std::vector<double> cOurs, cZip1, cZip6, cUnOurs, cUnzip;
    for (int run = 0; run < runs; ++run) {
        fs::remove(ours);
        fs::remove(zip1);
        fs::remove(zip6);
        tOurs.push_back(seconds([&] {
            if (packOurs(files, ours) != 0) {
                std::fprintf(stderr, "our backup failed\n");
                std::exit(1);
            }
        }, cOurs));
        tZip1.push_back(seconds([&] { shell("cd " + quoted(drive) + " && zip -q -1 -r " + quoted(zip1) + " Quillon"); }, cZip1));
        tZip6.push_back(seconds([&] { shell("cd " + quoted(drive) + " && zip -q -6 -r " + quoted(zip6) + " Quillon"); }, cZip6));
        fs::remove_all(outOurs);
        fs::remove_all(outUnzip);
        fs::create_directories(outOurs);
        tUnOurs.push_back(seconds([&] {
            if (unpackOurs(ours, outOurs) != 0) {
                std::fprintf(stderr, "our restore failed\n");
                std::exit(1);
            }
        }, cUnOurs));
        tUnzip.push_back(seconds([&] { shell("unzip -q -o " + quoted(zip1) + " -d " + quoted(outUnzip)); }, cUnzip));
        std::printf("run %d: ours %.3f s, zip -1 %.3f s, zip -6 %.3f s | restore ours %.3f s, unzip %.3f s\n", run + 1,
                    tOurs.back(), tZip1.back(), tZip6.back(), tUnOurs.back(), tUnzip.back());
        std::fflush(stdout);
    }
    // The restored tree must equal the folder, to the byte.
    shell("diff -r " + quoted(drive / "Quillon") + " " + quoted(outOurs / "Quillon"));

    const double mb = static_cast<double>(kMiB);
    const auto size = [](const fs::path& p) { return static_cast<double>(fs::file_size(p)); };
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("\nload average now %.1f (2 idle cores would be 0)\n", load[0]);
    std::printf("\n%-18s %12s %12s %12s\n", "", "median wall s", "median cpu s", "archive MB");
    std::printf("%-18s %12.3f %12.3f %12.1f\n", "backup, ours", median(tOurs), median(cOurs), size(ours) / mb);
    std::printf("%-18s %12.3f %12.3f %12.1f\n", "zip -1 -r", median(tZip1), median(cZip1), size(zip1) / mb);
    std::printf("%-18s %12.3f %12.3f %12.1f\n", "zip -6 -r", median(tZip6), median(cZip6), size(zip6) / mb);
    std::printf("%-18s %12.3f %12.3f\n", "restore, ours", median(tUnOurs), median(cUnOurs));
    std::printf("%-18s %12.3f %12.3f\n", "unzip", median(tUnzip), median(cUnzip));
    std::printf("\n%-18s %8s %8s\n", "", "wall", "cpu");
    std::printf("%-18s %8.3f %8.3f (goal: wall <= 0.30)\n", "backup / zip -1", median(tOurs) / median(tZip1),
                median(cOurs) / median(cZip1));
    std::printf("%-18s %8.3f %8.3f\n", "backup / zip -6", median(tOurs) / median(tZip6), median(cOurs) / median(cZip6));
    std::printf("%-18s %8.3f %8.3f (goal: wall <= 0.35)\n", "restore / unzip", median(tUnOurs) / median(tUnzip),
                median(cUnOurs) / median(cUnzip));
    std::printf("archive / zip -1's: %.3f (goal <= 1.00)\n\n", size(ours) / size(zip1));

    std::printf("peak memory of a backup of this folder: %.1f MB (goal < 150)\n",
                peakMemory([&] { return packOurs(files, base / "memory.zip"); }));
    if (big) {
        memoryOfBackup(base, "big", 128, 16 * kMiB, 100);
        memoryOfBackup(base, "huge files", 8, 256 * kMiB, 10);
    }
    if (!keep) {
        fs::remove_all(base);
    }
    return 0;
}
