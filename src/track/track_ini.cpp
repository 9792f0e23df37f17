#include "track/track_ini.h"

#include <algorithm>

#include "common/lines.h"
#include "platform/atomic_write.h"
#include "platform/fs.h"

namespace gm::track {

namespace {

// A value ends at the first blank after it. A lone LF (a line end of a file
// edited outside Windows, which the line rule keeps inside the line) ends it
// too, so that a value never swallows the next line.
constexpr std::string_view kValueEnds = " \n";

// The byte offset of a value start counted from 1, kept inside the line so
// that no operation reads past its end.
std::size_t valueOffset(std::string_view line, std::size_t valueStart)
{
    return std::min(valueStart == 0 ? std::size_t{0} : valueStart - 1, line.size());
}

}  // namespace

std::optional<std::size_t> keyOfLine(std::string_view line)
{
    for (std::size_t key = 0; key < kKeyCount; ++key) {
        if (line.starts_with(kKeyPrefixes[key])) {
            return key;
        }
    }
    return std::nullopt;
}

std::string GetValue(std::string_view line, std::size_t valueStart)
{
    const std::size_t begin = valueOffset(line, valueStart);
    std::size_t end = line.find_first_of(kValueEnds, begin);
    if (end == std::string_view::npos) {
        end = line.size();
    }
    return std::string(line.substr(begin, end - begin));
}

std::string ReplaceValue(std::string_view line, std::size_t valueStart, std::string_view newValue)
{
    const std::size_t begin = valueOffset(line, valueStart);
    const std::size_t end = line.find_first_of(kValueEnds, begin);
    std::string out;
    out.reserve(line.size() + newValue.size() + 1);
    out += line.substr(0, begin);
    out += newValue;
    if (end == std::string_view::npos) {
        return out;
    }
    if (line[end] == ' ') {
        // The old value and the one blank after it give way to the new
        // text and one blank; everything after keeps its place.
        out += ' ';
        out += line.substr(end + 1);
    } else {
        out += line.substr(end);  // a lone LF and all after it stay
    }
    return out;
}

TrackValues readValues(std::string_view bytes)
{
    TrackValues values;
    for (const std::string& line : common::splitLines(bytes)) {
        if (const std::optional<std::size_t> key = keyOfLine(line)) {
            values[*key] = GetValue(line, valueStart(*key));
        }
    }
    return values;
}

std::string writeValues(std::string_view bytes, const TrackValues& values)
{
    std::string out;
    out.reserve(bytes.size() + 64);
    for (const std::string& line : common::splitLines(bytes)) {
        if (const std::optional<std::size_t> key = keyOfLine(line)) {
            out += ReplaceValue(line, valueStart(*key), values[*key]);
        } else {
            out += line;
        }
        out += common::kCrLf;
    }
    out += common::kCrLf;
    return out;
}

std::filesystem::path trackIniPath(const std::filesystem::path& tracksFolder, std::string_view trackFolderUtf8)
{
    return tracksFolder / platform::toPath(trackFolderUtf8) / "track.ini";
}

ReadResult readTrackIni(const std::filesystem::path& path)
{
    ReadResult result;
    if (!platform::fileExists(path)) {
        result.status = FileStatus::Missing;
        return result;
    }
    const std::optional<std::string> bytes = platform::readFile(path);
    if (!bytes) {
        result.status = FileStatus::ReadFailed;
        return result;
    }
    result.status = FileStatus::Ok;
    result.values = readValues(*bytes);
    return result;
}

SaveResult writeTrackIni(const std::filesystem::path& path, const TrackValues& values)
{
    if (!platform::fileExists(path)) {
        return {FileStatus::Missing, {}};
    }
    const std::optional<std::string> bytes = platform::readFile(path);
    if (!bytes) {
        return {FileStatus::ReadFailed, "the file could not be read"};
    }
    const platform::WriteResult written = platform::writeFileAtomic(path, writeValues(*bytes, values));
    if (!written) {
        return {FileStatus::WriteFailed, written.error};
    }
    return {FileStatus::Ok, {}};
}

}  // namespace gm::track
