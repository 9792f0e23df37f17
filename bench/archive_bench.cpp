// Backup and restore speed against Info-ZIP, and the memory they need.
//
// Builds a game folder of about 200 MB in a temporary folder (a dozen 16 MB
// replays of partly compressible data, some hundreds of small setup and text
// files) below a Wine-style drive_c, then, interleaved over several runs,
// does what users do, through the calls the backup and restore windows make:
//
//   - a first backup (no earlier backup in the folder), against `zip -1 -r`
//     and `zip -6 -r`;
//   - a second backup of the unchanged folder (the first one beside it),
//     against `zip -1 -r`;
//   - a restore into an empty drive, against `unzip -o` into an empty folder;
//   - a restore over the unchanged game folder, against `unzip -o` over it;
//   - a restore over the folder with 10% of its files edited (a byte each,
//     their size kept), against `unzip -o` over the same edits.
//
// Prints medians, ratios and archive sizes, and the peak memory (maxrss of a
// fresh process) of each kind of work. With --big it also measures the peak
// memory of a backup and a restore of 2 GB of replays, and of 2 GB of
// 256 MB files.
//
//   archive_bench [--runs N] [--big] [--keep]
//   archive_bench --do WORK FOLDER   (one piece of work on a kept folder:
//                 backup, second, restore-empty, restore-same, restore-edited)
#include <sys/resource.h>
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

#include "backup/backup_files.h"
#include "backup/make_backup.h"
#include "backup/restore_backup.h"
#include "backup/work_progress.h"
#include "platform/fs.h"

namespace {

namespace fs = std::filesystem;
using namespace gm::backup;

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

const char* const kGame = "Quillon/Gridmark";

// The game folder below drive/Quillon/Gridmark; returns every file, game
// relative ("\replay\race 0.rpy").
std::vector<std::string> buildGameFolder(const fs::path& drive, int replays, std::size_t replaySize, int smallFiles)
{
    const fs::path game = drive / kGame;
    std::vector<std::string> files;
    for (int r = 0; r < replays; ++r) {
        files.push_back("\\replay\\race " + std::to_string(r) + ".rpy");
        writeFile(gm::platform::appendGamePath(game, files.back()), replayBytes(static_cast<std::uint64_t>(r) + 1, replaySize));
    }
    std::mt19937 random(42);
    const char* folders[] = {"\\players\\Ann Lee\\", "\\players\\Bob\\", "\\series\\cup\\cars\\", "\\tracks\\atlanta\\",
                             "\\tracks\\Brands Hatch\\", "\\exports_imports\\"};
    for (int i = 0; i < smallFiles; ++i) {
        files.push_back(std::string(folders[i % 6]) + "file " + std::to_string(i) + ".ini");
        writeFile(gm::platform::appendGamePath(game, files.back()), textBytes(random, 1000 + random() % 20000));
    }
    return files;
}

std::uint64_t folderBytes(const fs::path& drive, const std::vector<std::string>& files)
{
    std::uint64_t total = 0;
    for (const std::string& f : files) {
        total += fs::file_size(gm::platform::appendGamePath(drive / kGame, f));
    }
    return total;
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

// Wall and processor time (all threads and child processes) of some work.
struct Timings {
    std::vector<double> wall;
    std::vector<double> cpu;

    void measure(const std::function<void()>& work)
    {
        const double cpuStart = cpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        work();
        wall.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cpu.push_back(cpuSeconds() - cpuStart);
    }
};

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

std::string shellQuoted(const fs::path& path)
{
    std::string out(1, '\'');
    out.append(path.string());
    out.push_back('\'');
    return out;
}

void fail(const char* what)
{
    std::fprintf(stderr, "%s failed\n", what);
    std::exit(1);
}

// A backup of the game files below `drive` into `backupFolder`, as the
// backup window makes it.
BackupOutcome backUp(const fs::path& drive, const std::vector<std::string>& files, const fs::path& backupFolder,
                     const std::string& name)
{
    BackupRequest request;
    request.backupFolder = backupFolder;
    request.name = name;
    request.files = gameFiles(drive / kGame, files);
    request.journalFolder = backupFolder.parent_path() / "Journal";
    WorkProgress progress;
    BackupOutcome outcome = makeBackup(request, progress);
    if (outcome.status != BackupStatus::Made) {
        fail("a backup");
    }
    return outcome;
}

// A restore of a backup into the drive, as the restore window makes it
// (its undo backup included).
RestoreOutcome restore(const fs::path& backupFolder, const std::string& name, const fs::path& drive)
{
    RestoreRequest request;
    request.backupFolder = backupFolder;
    request.name = name;
    request.root = drive;
    request.gameDirectory = drive / kGame;
    request.undoName = undoNameFor(backupFolder, name, std::chrono::system_clock::now());
    request.journalFolder = backupFolder.parent_path() / "Journal";
    RestoreProgress progress;
    RestoreOutcome outcome = restoreBackup(request, nullptr, progress);
    if (outcome.status != RestoreStatus::Restored) {
        fail("a restore");
    }
    return outcome;
}

// Where what a run made goes until the end. Files made just after others
// were deleted cost the file system more (ext4 looks for inodes that were
// not freed a moment ago), which would charge one run's clean-up to the
// next run's work: nothing is deleted before the end.
fs::path asideFolder;

void setAside(const fs::path& path)
{
    static int moved = 0;
    if (fs::exists(path)) {
        fs::create_directories(asideFolder);
        fs::rename(path, asideFolder / (std::to_string(getpid()) + "-" + std::to_string(++moved)));
    }
}

// Takes a backup the benchmark made out of the folder.
void removeBackup(const fs::path& backupFolder, const std::string& name)
{
    setAside(archivePath(backupFolder, name));
    setAside(indexPath(backupFolder, name));
}

// Takes the undo backups restores left out of the folder.
void removeUndoBackups(const fs::path& backupFolder)
{
    std::vector<fs::path> undo;
    for (const fs::directory_entry& entry : fs::directory_iterator(backupFolder)) {
        if (entry.path().filename().string().find(" before restore ") != std::string::npos) {
            undo.push_back(entry.path());
        }
    }
    for (const fs::path& path : undo) {
        setAside(path);
    }
}

// Edits every tenth file: one byte in its middle, its size kept.
void editTenthOfFiles(const fs::path& drive, const std::vector<std::string>& files)
{
    for (std::size_t i = 0; i < files.size(); i += 10) {
        const fs::path path = gm::platform::appendGamePath(drive / kGame, files[i]);
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        const auto middle = static_cast<std::streamoff>(fs::file_size(path) / 2);
        file.seekg(middle);
        const char byte = static_cast<char>(file.get() ^ 0x5A);
        file.seekp(middle);
        file.put(byte);
    }
}

// The game files below a drive, game relative, as buildGameFolder lists them.
std::vector<std::string> listGameFiles(const fs::path& drive)
{
    std::vector<std::string> files;
    const fs::path game = drive / kGame;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(game)) {
        if (entry.is_regular_file()) {
            std::string relative;
            for (const fs::path& part : entry.path().lexically_relative(game)) {
                relative += "\\" + part.string();
            }
            files.push_back(relative);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// One piece of work on a folder that holds a game below drive_c and its
// backup "base" in Backup: what a fresh process measures.
void doWork(const std::string& work, const fs::path& folder)
{
    const fs::path drive = folder / "drive_c";
    const fs::path backups = folder / "Backup";
    const std::vector<std::string> files = listGameFiles(drive);
    asideFolder = folder / "set aside";
    if (work == "backup") {
        setAside(folder / "First");
        backUp(drive, files, folder / "First", "first");
    } else if (work == "second") {
        backUp(drive, files, backups, "second");
        removeBackup(backups, "second");
    } else if (work == "restore-empty") {
        const fs::path empty = folder / "empty" / "drive_c";
        setAside(empty.parent_path());
        fs::create_directories(empty);
        restore(backups, "base", empty);
    } else if (work == "restore-same") {
        restore(backups, "base", drive);
    } else if (work == "restore-edited") {
        editTenthOfFiles(drive, files);
        restore(backups, "base", drive);
        removeUndoBackups(backups);
    } else {
        fail(("unknown work " + work).c_str());
    }
}

// The peak resident memory of this process so far, in kB (VmHWM: what a
// process has held at most since it began, or since its last exec).
long peakKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

// Peak resident memory (MB) of a fresh process doing one piece of work. A
// child's maxrss would count the memory of the process it was forked from.
double peakMemory(const char* work, const fs::path& folder)
{
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    FILE* child = popen((shellQuoted(self) + " --do " + work + " " + shellQuoted(folder)).c_str(), "r");
    long kilobytes = -1;
    if (child == nullptr || std::fscanf(child, "peak %ld", &kilobytes) != 1 || pclose(child) != 0) {
        fail(work);
    }
    return static_cast<double>(kilobytes) / 1024.0;
}

// The peak memory of each kind of work on a game folder.
void memoryOf(const fs::path& folder, const char* label)
{
    std::printf("peak memory (goal < 150 MB), %s: backup %.1f MB", label, peakMemory("backup", folder));
    std::printf(", second backup %.1f MB", peakMemory("second", folder));
    std::printf(", restore into empty %.1f MB", peakMemory("restore-empty", folder));
    std::printf(", over unchanged %.1f MB", peakMemory("restore-same", folder));
    std::printf(", over 10%% edited %.1f MB\n", peakMemory("restore-edited", folder));
    std::fflush(stdout);
}

void memoryOfBigFolder(const fs::path& base, const char* label, int replays, std::size_t replaySize, int smallFiles)
{
    const fs::path folder = base / label;
    const fs::path drive = folder / "drive_c";
    const std::vector<std::string> files = buildGameFolder(drive, replays, replaySize, smallFiles);
    backUp(drive, files, folder / "Backup", "base");
    std::printf("%s: %.0f MB in %zu files, archive %.0f MB\n", label,
                static_cast<double>(folderBytes(drive, files)) / kMiB, files.size(),
                static_cast<double>(fs::file_size(archivePath(folder / "Backup", "base"))) / kMiB);
    memoryOf(folder, label);
    fs::remove_all(folder);
}

void row(const char* what, const Timings& t, double archiveMb = -1)
{
    std::printf("%-34s %10.3f %10.3f", what, median(t.wall), median(t.cpu));
    if (archiveMb >= 0) {
        std::printf(" %10.1f", archiveMb);
    }
    std::printf("\n");
}

void ratio(const char* what, const Timings& ours, const Timings& theirs, const char* goal)
{
    std::printf("%-34s %10.3f %10.3f   %s\n", what, median(ours.wall) / median(theirs.wall),
                median(ours.cpu) / median(theirs.cpu), goal);
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

        } else if (arg == "--do" && i + 2 < argc) {
            doWork(argv[i + 1], argv[i + 2]);
            std::printf("peak %ld\n", peakKilobytes());
            return 0;
        } else {
            std::fprintf(stderr, "usage: archive_bench [--runs N] [--big] [--keep]\n");
            return 2;
        }
    }

    const fs::path base = fs::temp_directory_path() / ("gm-archive-bench-" + std::to_string(getpid()));
    const fs::path drive = base / "drive_c";
    asideFolder = base / "set aside";
    std::printf("building the game folder in %s ...\n", base.string().c_str());
    const std::vector<std::string> files = buildGameFolder(drive, 12, 16 * kMiB, 400);
    std::printf("%zu files, %.1f MB; %d runs, interleaved\n\n", files.size(),
                static_cast<double>(folderBytes(drive, files)) / kMiB, runs);

    // The backup the second backups and the restores start from.
    const fs::path backups = base / "Backup";
    backUp(drive, files, backups, "base");
    const fs::path firstFolder = base / "First";
    const fs::path zip1 = base / "zip1.zip";
    const fs::path zip6 = base / "zip6.zip";
    const fs::path emptyOurs = base / "empty-ours" / "drive_c";
    const fs::path emptyUnzip = base / "empty-unzip";
    const std::string zipFiles = "cd " + shellQuoted(drive) + " && zip -q -r ";
    Timings first, second, zipOne, zipSix, emptyRestore, emptyUnzipT, sameRestore, sameUnzip, editedRestore,
        editedUnzip;
    std::size_t reused = 0;
    std::uint64_t written = 0;
    for (int run = 0; run < runs; ++run) {
        setAside(firstFolder);
        setAside(zip1);
        setAside(zip6);
        first.measure([&] { backUp(drive, files, firstFolder, "first"); });
        zipOne.measure([&] { shell(zipFiles + "-1 " + shellQuoted(zip1) + " Quillon"); });
        zipSix.measure([&] { shell(zipFiles + "-6 " + shellQuoted(zip6) + " Quillon"); });
        second.measure([&] { reused = backUp(drive, files, backups, "second").reused; });
        removeBackup(backups, "second");

        setAside(emptyOurs.parent_path());
        setAside(emptyUnzip);
        fs::create_directories(emptyOurs);
        emptyRestore.measure([&] { restore(backups, "base", emptyOurs); });
        emptyUnzipT.measure([&] { shell("unzip -q -o " + shellQuoted(zip1) + " -d " + shellQuoted(emptyUnzip)); });

        sameRestore.measure([&] { written = restore(backups, "base", drive).filesWritten; });
        if (written != 0) {
            fail("the restore over the unchanged folder (it wrote files)");
        }
        sameUnzip.measure([&] { shell("unzip -q -o " + shellQuoted(zip1) + " -d " + shellQuoted(drive)); });

        editTenthOfFiles(drive, files);
        editedRestore.measure([&] { written = restore(backups, "base", drive).filesWritten; });
        removeUndoBackups(backups);
        if (run == 0) {
            // Both restores gave the folder as it was backed up, to the byte.
            shell("diff -r " + shellQuoted(drive / "Quillon") + " " + shellQuoted(emptyOurs / "Quillon"));
        }
        editTenthOfFiles(drive, files);
        editedUnzip.measure([&] { shell("unzip -q -o " + shellQuoted(zip1) + " -d " + shellQuoted(drive)); });

        std::printf("run %d: backup %.3f s, second %.3f s (%zu reused), zip -1 %.3f s, zip -6 %.3f s | restore into "
                    "empty %.3f s, unzip %.3f s; over unchanged %.3f s, unzip -o %.3f s; over 10%% edited %.3f s "
                    "(%llu written), unzip -o %.3f s\n",
                    run + 1, first.wall.back(), second.wall.back(), reused, zipOne.wall.back(), zipSix.wall.back(),
                    emptyRestore.wall.back(), emptyUnzipT.wall.back(), sameRestore.wall.back(),
                    sameUnzip.wall.back(), editedRestore.wall.back(), static_cast<unsigned long long>(written),
                    editedUnzip.wall.back());
        std::fflush(stdout);
    }

    const double mb = static_cast<double>(kMiB);
    const auto size = [mb](const fs::path& p) { return static_cast<double>(fs::file_size(p)) / mb; };
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("\nload average now %.1f (2 idle cores would be 0)\n", load[0]);
    std::printf("\n%-34s %10s %10s %10s\n", "median of each", "wall s", "cpu s", "archive MB");
    row("backup, ours", first, size(archivePath(firstFolder, "first")));
    row("second backup, ours", second);
    row("zip -1 -r", zipOne, size(zip1));
    row("zip -6 -r", zipSix, size(zip6));
    row("restore into empty, ours", emptyRestore);
    row("unzip -o into empty", emptyUnzipT);
    row("restore over unchanged, ours", sameRestore);
    row("unzip -o over unchanged", sameUnzip);
    row("restore over 10% edited, ours", editedRestore);
    row("unzip -o over 10% edited", editedUnzip);
    std::printf("\n%-34s %10s %10s\n", "ratio of medians", "wall", "cpu");
    ratio("backup / zip -1", first, zipOne, "(goal: wall <= 0.24)");
    ratio("backup / zip -6", first, zipSix, "");
    ratio("second backup / zip -1", second, zipOne, "(goal: wall <= 0.10)");
    ratio("restore into empty / unzip -o", emptyRestore, emptyUnzipT, "(goal: wall <= 0.22)");
    ratio("restore over unchanged / unzip -o", sameRestore, sameUnzip, "(goal: wall <= 0.15)");
    ratio("restore over edited / unzip -o", editedRestore, editedUnzip, "(goal: wall <= 0.25)");
    std::printf("archive / zip -1's: %.3f (goal <= 1.00)\n\n", size(archivePath(firstFolder, "first")) / size(zip1));

    memoryOf(base, "this folder");
    if (big) {
        memoryOfBigFolder(base, "2 GB of 16 MB replays", 128, 16 * kMiB, 100);
        memoryOfBigFolder(base, "2 GB of 256 MB files", 8, 256 * kMiB, 10);
    }
    if (!keep) {
        fs::remove_all(base);
    }
    return 0;
}
