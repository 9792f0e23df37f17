// The quoted-field reader over the program's own small files: option.dat and
// defaultTrackini.dat. The input is taken three ways: as raw file bytes, as
// a game directory written to the option file and read back, and as track
// defaults records written in the file's layout and looked up again.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/quoted_field.h"
#include "fuzz_check.h"
#include "shell/option_file.h"
#include "track/track_defaults.h"

namespace {

using gm::track::TrackValues;

// Any bytes as a file: the reader ends, atEnd() agrees with next(), the
// fields come from the text in order, and looking up a name never fails
// harder than "not found".
void readRawBytes(std::string_view bytes)
{
    gm::common::FieldReader reader(bytes);
    std::vector<std::string> fields;
    while (true) {
        const bool atEnd = reader.atEnd();
        std::optional<std::string> field = reader.next();
        GM_FUZZ_CHECK(atEnd == !field.has_value(), "atEnd() says what next() then does");
        if (!field) {
            break;
        }
        fields.push_back(std::move(*field));
    }
    GM_FUZZ_CHECK(!reader.next().has_value(), "the end of the text stays the end");
    std::size_t cursor = 0;
    for (const std::string& field : fields) {
        const std::size_t at = bytes.find(field, cursor);
        GM_FUZZ_CHECK(at != std::string_view::npos, "every field is a run of the text, in the text's order");
        cursor = at + field.size();
    }

    const std::optional<std::string> first = gm::common::readFirstField(bytes);
    GM_FUZZ_CHECK(first.has_value() == !fields.empty() && (!first || *first == fields.front()),
                  "readFirstField gives the first field");

    if (!fields.empty()) {
        const gm::track::DefaultsResult found = gm::track::findDefaults(bytes, fields.front());
        GM_FUZZ_CHECK(found.status != gm::track::DefaultsStatus::NotFound,
                      "the file's first field is found as a name (or its record is cut short)");
    }
    (void)gm::shell::gameDirectoryOf(bytes);
}

// Text that the option file and the defaults file can hold in quotes.
std::string quotable(FuzzedDataProvider& input, std::size_t maxLength)
{
    std::string text = input.ConsumeRandomLengthString(maxLength);
    std::erase(text, '"');
    return text;
}

// A game directory written as the program writes it reads back unchanged.
void optionFileRoundTrip(FuzzedDataProvider& input)
{
    std::string directory = quotable(input, 300);
    std::erase(directory, '\r');  // a CR ends the option file's line
    if (directory.empty()) {
        return;
    }
    const std::optional<std::string> read = gm::shell::gameDirectoryOf(gm::common::quotedLine(directory));
    GM_FUZZ_CHECK(read && *read == directory, "option.dat reads back the directory written");
}

// Records written in the defaults file's layout (thirteen quoted fields,
// spread over lines and blanks as the input says): looking a name up gives
// the last record of that name.
void defaultsRecords(FuzzedDataProvider& input)
{
    struct Record {
        std::string name;
        TrackValues values;
    };
    std::vector<Record> records(input.ConsumeIntegralInRange<std::size_t>(1, 6));
    std::string file;
    for (Record& record : records) {
        record.name = quotable(input, 12);
        file += '"' + record.name + '"';
        for (std::string& value : record.values) {
            value = quotable(input, 8);
            switch (input.ConsumeIntegralInRange(0, 3)) {
            case 0:
                file += ",";
                break;
            case 1:
                file += " , ";
                break;
            case 2:
                file += "\r\n";
                break;
            default:
                file += "\r\n\r\n  ";
                break;
            }
            file += '"' + value + '"';
        }
        file += input.ConsumeBool() ? "\r\n" : "\r\n\r\n";
    }
    const std::string& name = records[input.ConsumeIntegralInRange<std::size_t>(0, records.size() - 1)].name;
    // Every field is compared with the name, values too: a value equal to
    // the name starts a record of its own, so such files prove nothing here.
    for (const Record& record : records) {
        if (std::find(record.values.begin(), record.values.end(), name) != record.values.end()) {
            return;
        }
    }
    const gm::track::DefaultsResult found = gm::track::findDefaults(file, name);
    GM_FUZZ_CHECK(found.status == gm::track::DefaultsStatus::Found, "a record's name is found");
    const auto last = std::find_if(records.rbegin(), records.rend(), [&](const Record& r) { return r.name == name; });
    GM_FUZZ_CHECK(found.values == last->values, "the last record of the name gives the values");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    readRawBytes(bytes);
    FuzzedDataProvider input(data, size);
    optionFileRoundTrip(input);
    defaultsRecords(input);
    return 0;
}
