// track.ini read and rewrite: the input gives twelve new values and the file.
// The rewrite keeps every line without a key byte for byte and the tail of
// every key line, reading the result gives the new values, and writing back
// the values that were read changes nothing but the line ends.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/lines.h"
#include "fuzz_check.h"
#include "track/track_ini.h"

using namespace gm::track;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    TrackValues values;
    for (std::string& value : values) {
        // A value as a box takes it: no line ends and no blanks, which end
        // a value anyway.
        value = input.ConsumeRandomLengthString(12);
        std::erase_if(value, [](char c) { return c == '\r' || c == '\n' || c == ' '; });
    }
    const std::string in = input.ConsumeRemainingBytesAsString();

    const TrackValues before = readValues(in);
    const std::string out = writeValues(in, values);

    const std::vector<std::string> inLines = gm::common::splitLines(in);
    const std::vector<std::string> outLines = gm::common::splitLines(out);
    GM_FUZZ_CHECK(out.ends_with("\r\n\r\n") || (in.empty() && out == "\r\n"), "the rewrite ends with an empty line");
    GM_FUZZ_CHECK(outLines.size() == inLines.size() + 1, "one line out for every line in, plus the empty one");
    std::vector<bool> present(kKeyCount, false);
    for (std::size_t i = 0; i < inLines.size(); ++i) {
        const std::optional<std::size_t> key = keyOfLine(inLines[i]);
        if (!key) {
            GM_FUZZ_CHECK(outLines[i] == inLines[i], "a line without a key is kept byte for byte");
            continue;
        }
        present[*key] = true;
        GM_FUZZ_CHECK(keyOfLine(outLines[i]) == key, "a key line keeps its key");
        const std::string_view old(inLines[i]);
        const std::size_t blank = old.find_first_of(" \n", valueStart(*key) - 1);
        if (blank != std::string_view::npos) {
            GM_FUZZ_CHECK(std::string_view(outLines[i]).ends_with(old.substr(blank)),
                          "a key line keeps everything from the blank after its value");
        }
    }

    const TrackValues after = readValues(out);
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        GM_FUZZ_CHECK(after[key] == (present[key] ? values[key] : std::string()),
                      "reading the rewrite gives the new values of the keys the file has");
    }

    // Writing back what was read leaves every line as it was, except a line
    // of a key that occurs again later with another value.
    const std::string same = writeValues(in, before);
    const std::vector<std::string> sameLines = gm::common::splitLines(same);
    GM_FUZZ_CHECK(sameLines.size() == inLines.size() + 1, "writing back keeps the number of lines");
    for (std::size_t i = 0; i < inLines.size(); ++i) {
        const std::optional<std::size_t> key = keyOfLine(inLines[i]);
        if (!key || GetValue(inLines[i], valueStart(*key)) == before[*key]) {
            GM_FUZZ_CHECK(sameLines[i] == inLines[i], "writing back the values read keeps the line");
        }
    }
    GM_FUZZ_CHECK(readValues(same) == before, "writing back the values read reads the same values");
    GM_FUZZ_CHECK(writeValues(same, readValues(same)) == same + "\r\n",
                  "a file with CR LF line ends only gains the one final line end");
    return 0;
}
