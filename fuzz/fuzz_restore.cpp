// A whole restore of a hostile archive over a small game folder: every step
// the restore takes (check, compare with the game files, ask, unpack and put
// in place) on the input's bytes as the archive.
//
// What must hold, whatever the bytes:
// - nothing outside the folder restored into is touched;
// - a restore that does not succeed leaves the folder exactly as it was
//   (every file's bytes, no new file or folder, no temporary left);
// - a restore that succeeds leaves no temporary, and every file entry that
//   libzip itself reads whole and intact is at its target byte for byte,
//   whether it was written or left as it was because it was found equal;
// - game files the archive does not name keep their bytes.
#include <unistd.h>
#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "backup/archive_entries.h"
#include "backup/zip_extractor.h"
#include "fuzz_check.h"
#include "fuzz_game_files.h"

using namespace gm::backup;
using namespace gm::fuzz;
namespace fs = std::filesystem;

namespace {

const char* const kPassword = "pw";

// Every file and folder below `folder` (a folder's bytes are "/").
Tree readTree(const fs::path& folder)
{
    Tree tree;
    for (const fs::directory_entry& item : fs::recursive_directory_iterator(folder)) {
        const std::string relative = item.path().lexically_relative(folder).generic_string();
        tree[relative] = item.is_directory() ? std::string("/") : readFile(item.path());
    }
    return tree;
}

struct Place {
    fs::path base;     // holds the archive, the folder and a file beside it
    fs::path archive;
    fs::path folder;
    fs::path beside;
};

const Place& place()
{
    static const Place made = [] {
        Place p;
        p.base = fs::temp_directory_path() / ("gm-fuzz-restore-" + std::to_string(getpid()));
        p.archive = p.base / "backup.zip";
        p.folder = p.base / "drive";
        p.beside = p.base / "beside.txt";
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(fs::temp_directory_path() / ("gm-fuzz-restore-" + std::to_string(getpid())), ignored);
        });
        return p;
    }();
    return made;
}

// Gives the password a few times, then no more, so that a wrong one cannot
// keep the restore asking.
struct Questions : UnzipQuestions {
    int passwordsGiven = 0;
    int replaceFile(const std::string&) override { return kReplaceYes; }
    std::optional<std::string> password(const std::string&) override
    {
        if (passwordsGiven >= 3) {
            return std::nullopt;
        }
        ++passwordsGiven;
        return std::string(kPassword);
    }
};

// Every file entry libzip reads whole, its CRC and size checked, by the
// path a restore puts it at (names as libzip gives them: UTF-8, or CP437
// turned into UTF-8).
std::map<fs::path, std::string> intactEntries(const fs::path& archive, const fs::path& folder)
{
    std::map<fs::path, std::string> intact;
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
    if (zip == nullptr) {
        return intact;
    }
    zip_set_default_password(zip, kPassword);
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(zip, static_cast<zip_uint64_t>(i), 0);
        zip_stat_t stat;
        if (name == nullptr || zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat) != 0 ||
            (stat.valid & ZIP_STAT_SIZE) == 0 || stat.size > (1u << 20)) {
            continue;
        }
        const std::string_view text(name);
        if (text.empty() || text.back() == '/' || text.back() == '\\') {
            continue;
        }
        const std::optional<fs::path> target = checkEntryName(folder, text);
        if (!target) {
            continue;
        }
        zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0);
        if (file == nullptr) {
            continue;
        }
        std::string bytes(static_cast<std::size_t>(stat.size), '\0');
        const zip_int64_t got = zip_fread(file, bytes.data(), bytes.size());
        char more = 0;
        const bool whole = got == static_cast<zip_int64_t>(bytes.size()) && zip_fread(file, &more, 1) == 0;
        if (zip_fclose(file) == 0 && whole) {
            intact[target->lexically_normal()] = bytes;
        }
    }
    zip_discard(zip);
    return intact;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Place& p = place();
    std::error_code ignored;
    fs::remove_all(p.base, ignored);
    const Tree game = gameFiles();
    for (const auto& [name, bytes] : game) {
        writeFile(p.folder / name, bytes);
    }
    writeFile(p.beside, "not the game's");
    writeFile(p.archive, std::string(reinterpret_cast<const char*>(data), size));
    const Tree before = readTree(p.base);

    Questions questions;
    Unpacking unpacking(p.archive, p.folder, UnpackOptions());
    unpacking.setQuestions(&questions);
    std::int32_t result = unpacking.check();
    if (result == kUnzipOk) {
        result = unpacking.compare(nullptr);
    }
    if (result == kUnzipOk) {
        result = unpacking.ask();
    }
    if (result == kUnzipOk) {
        result = unpacking.unpack(nullptr);
    }
    GM_FUZZ_CHECK(!unpacking.report().notPutBack, "a failed restore puts every file back");

    // The places the entries name, and the folders above them.
    const ArchiveListing listing = listArchive(p.archive.string());
    std::set<fs::path> named;
    std::set<std::string> made;
    for (const ArchiveEntry& entry : listing.entries) {
        if (const std::optional<fs::path> target = checkEntryName(p.folder, entry.name)) {
            named.insert(target->lexically_normal());
            for (fs::path at = target->lexically_normal(); at != p.folder && at.has_relative_path();
                 at = at.parent_path()) {
                made.insert(at.lexically_relative(p.base).generic_string());
            }
        }
    }

    const Tree after = readTree(p.base);
    for (const auto& [name, bytes] : after) {
        GM_FUZZ_CHECK(before.count(name) == 1 || made.count(name) == 1,
                      "nothing but the entries' files and folders is made: no temporary is left");
        if (name.rfind("drive/", 0) != 0 && name != "drive") {
            GM_FUZZ_CHECK(before.count(name) == 1 && before.at(name) == bytes, "nothing outside the folder changes");
        }
    }
    for (const auto& [name, bytes] : before) {
        if (name.rfind("drive/", 0) != 0) {
            GM_FUZZ_CHECK(after.count(name) == 1, "nothing outside the folder goes");
        }
    }

    if (result != kUnzipOk && result != kUnzipBadPassword) {
        GM_FUZZ_CHECK(after == before, "a restore that fails writes nothing");
        return 0;
    }
    // With a password that did not fit, the encrypted entries stay as they
    // were; every other intact entry is at its target.
    const std::map<fs::path, std::string> intact = intactEntries(p.archive, p.folder);
    if (result == kUnzipOk) {
        for (const auto& [target, bytes] : intact) {
            GM_FUZZ_CHECK(fs::is_regular_file(target) && readFile(target) == bytes,
                          "a restored file holds its entry's bytes");
        }
    }
    // A game file no entry names keeps its bytes.
    for (const auto& [name, bytes] : game) {
        if (named.count((p.folder / name).lexically_normal()) == 0) {
            const auto now = after.find("drive/" + name);
            GM_FUZZ_CHECK(now != after.end() && now->second == bytes, "a file no entry names is kept");
        }
    }
    return 0;
}
