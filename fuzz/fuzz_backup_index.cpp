// The backup index reader. Whatever the bytes, it returns within its bounds;
// and a list of paths written as an index reads back as the same list.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "backup/backup_index.h"
#include "fuzz_check.h"

using namespace gm::backup;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> read = readIndex(bytes);
    GM_FUZZ_CHECK(read.size() <= kMaxIndexEntries, "at most the entry bound");
    for (const std::string& entry : read) {
        GM_FUZZ_CHECK(!entry.empty() && entry.size() <= kMaxIndexEntryLength, "entries are within their bounds");
    }
    // What was read, written again, reads back the same when it can be
    // written at all (a quote or a line end cannot stand in a quoted value).
    bool writable = true;
    for (const std::string& entry : read) {
        writable = writable && entry.find_first_of("\"\r\n") == std::string::npos;
    }
    if (writable) {
        GM_FUZZ_CHECK(readIndex(indexBytes(read)) == read, "an index of what was read reads back the same");
    }

    // Paths as the backup window lists them.
    FuzzedDataProvider input(data, size);
    std::vector<std::string> paths(input.ConsumeIntegralInRange<std::size_t>(0, 40));
    for (std::string& path : paths) {
        path = "\\" + input.ConsumeRandomLengthString(80);
        std::erase_if(path, [](char c) { return c == '"' || c == '\r' || c == '\n'; });
    }
    GM_FUZZ_CHECK(readIndex(indexBytes(paths)) == paths, "a written index reads back the paths in order");
    return 0;
}
