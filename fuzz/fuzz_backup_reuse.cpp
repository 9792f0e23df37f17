// A backup that may take deflated bytes from an earlier backup whose archive
// is the input's bytes: the earlier archive may be damaged, truncated or
// made to fool the reuse (an entry of the right name, size and time with
// other data, a CRC that lies, bytes after the stream).
//
// What must hold, whatever the bytes: the new archive is made, libzip reads
// every one of its entries whole with a matching CRC, and they hold exactly
// the game files' bytes; each deflated entry is one deflate stream with
// nothing after it (nothing of the earlier archive comes along); no other
// file is left in the folder.
#include <unistd.h>
#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "backup/deflate.h"
#include "backup/zip_builder.h"
#include "backup/zip_error.h"
#include "fuzz_check.h"
#include "fuzz_game_files.h"

using namespace gm::backup;
using namespace gm::fuzz;
namespace fs = std::filesystem;

namespace {

// The time every game file carries; the seeds' entries carry it too (in
// UTC, which the target sets for itself), so that they are candidates.
constexpr std::int64_t kFileTime = 1700000000;

struct Place {
    fs::path base;
    fs::path game;
    fs::path earlier;
    fs::path archive;
};

const Place& place()
{
    static const Place made = [] {
        setenv("TZ", "UTC", 1);
        tzset();
        Place p;
        p.base = fs::temp_directory_path() / ("gm-fuzz-reuse-" + std::to_string(getpid()));
        p.game = p.base / "game";
        p.earlier = p.base / "Backup" / "earlier.zip";
        p.archive = p.base / "Backup" / "new.zip";
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(fs::temp_directory_path() / ("gm-fuzz-reuse-" + std::to_string(getpid())), ignored);
        });
        return p;
    }();
    return made;
}

// The archive's entries as libzip reads them; an entry that cannot be read
// whole with its CRC breaks the rule at once.
Tree readArchive(const fs::path& archive)
{
    Tree tree;
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    GM_FUZZ_CHECK(zip != nullptr, "the new archive opens, its directory consistent");
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        GM_FUZZ_CHECK(zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat) == 0, "every entry has its facts");
        zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0);
        GM_FUZZ_CHECK(file != nullptr, "every entry opens");
        std::string bytes(static_cast<std::size_t>(stat.size), '\0');
        const zip_int64_t got = bytes.empty() ? 0 : zip_fread(file, bytes.data(), bytes.size());
        char more = 0;
        GM_FUZZ_CHECK(got == static_cast<zip_int64_t>(bytes.size()) && zip_fread(file, &more, 1) == 0,
                      "every entry reads whole, with its CRC");
        zip_fclose(file);
        tree[stat.name] = bytes;

        if (stat.comp_method == ZIP_CM_DEFLATE) {
            std::string stored(static_cast<std::size_t>(stat.comp_size), '\0');
            zip_file_t* raw = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), ZIP_FL_COMPRESSED);
            GM_FUZZ_CHECK(raw != nullptr, "every entry's stored bytes open");
            const zip_int64_t read = stored.empty() ? 0 : zip_fread(raw, stored.data(), stored.size());
            zip_fclose(raw);
            GM_FUZZ_CHECK(read == static_cast<zip_int64_t>(stored.size()), "every entry's stored bytes read");
            std::string inflated(bytes.size() + 1, '\0');  // never empty
            GM_FUZZ_CHECK(Inflater().inflateWhole(reinterpret_cast<const unsigned char*>(stored.data()), stored.size(),
                                                  reinterpret_cast<unsigned char*>(inflated.data()), bytes.size()),
                          "a deflated entry is one stream with nothing after it");
        }
    }
    zip_discard(zip);
    return tree;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Place& p = place();
    std::error_code ignored;
    fs::remove_all(p.base, ignored);
    const Tree game = gameFiles();
    std::vector<PackItem> items;
    const auto when = std::chrono::time_point_cast<fs::file_time_type::duration>(
        std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(kFileTime))));
    for (const auto& [name, bytes] : game) {
        writeFile(p.game / name, bytes);
        fs::last_write_time(p.game / name, when);
        items.push_back({p.game / name, name, name});
    }
    writeFile(p.earlier, std::string(reinterpret_cast<const char*>(data), size));

    PackOptions options;
    options.reuseFrom = {p.earlier};
    const PackResult result = packArchive(p.archive, items, options);
    GM_FUZZ_CHECK(result.code == kZipOk && result.leftOut.empty(), "the backup is made, every file in it");
    GM_FUZZ_CHECK(result.reused <= game.size(), "no more entries reused than files packed");
    GM_FUZZ_CHECK(readArchive(p.archive) == game, "the new archive holds exactly the game files' bytes");

    std::size_t files = 0;
    for (const fs::directory_entry& item : fs::directory_iterator(p.archive.parent_path())) {
        GM_FUZZ_CHECK(item.path() == p.archive || item.path() == p.earlier, "no other file is left beside them");
        ++files;
    }
    GM_FUZZ_CHECK(files == 2, "the earlier archive stays");
    return 0;
}
