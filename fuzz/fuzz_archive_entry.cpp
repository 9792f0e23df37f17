// The restore's check of archive entry names: a name it accepts always
// lands inside the target folder, below it, and never as the folder itself.
// The rest of the input is also opened as an archive, and every entry name
// of it goes through the same check, so the listing itself sees hostile
// archives too.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "backup/archive_entries.h"
#include "fuzz_check.h"

using namespace gm::backup;
namespace fs = std::filesystem;

namespace {

const fs::path kTarget = "/restore/target";

void checkName(std::string_view name)
{
    const std::optional<fs::path> path = checkEntryName(kTarget, name);
    if (!path) {
        return;
    }
    const fs::path normal = path->lexically_normal();
    const fs::path relative = normal.lexically_relative(kTarget);
    GM_FUZZ_CHECK(!relative.empty() && relative != "." && *relative.begin() != "..",
                  "an accepted name lands below the target folder");
    for (const fs::path& part : relative) {
        GM_FUZZ_CHECK(part != "..", "no accepted name climbs out");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkName(bytes.substr(0, bytes.find('\0')));

    // The same bytes as an archive file.
    static const fs::path archive = [] {
        static const fs::path path = fs::temp_directory_path() / ("gm-fuzz-entry-" + std::to_string(getpid()) + ".zip");
        std::atexit([] {
            std::error_code ignored;
            fs::remove(path, ignored);
        });
        return path;
    }();
    {
        std::ofstream out(archive, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const ArchiveListing listing = listArchive(archive.string());
    GM_FUZZ_CHECK(listing.ok || listing.entries.empty(), "a failed listing lists nothing");
    for (const ArchiveEntry& entry : listing.entries) {
        checkName(entry.name);
    }
    return 0;
}
