#include "track/track_defaults.h"

#include <optional>
#include <string>

#include "common/quoted_field.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace gm::track {

DefaultsResult findDefaults(std::string_view bytes, std::string_view trackName)
{
    DefaultsResult result;
    common::FieldReader reader(bytes);
    while (std::optional<std::string> field = reader.next()) {
        if (*field != trackName) {
            continue;
        }
        TrackValues record;
        for (std::string& value : record) {
            std::optional<std::string> next = reader.next();
            if (!next) {
                // The file ends inside this record: whatever an earlier
                // record said, the file is not to be trusted for this track.
                return {DefaultsStatus::Incomplete, {}};
            }
            value = std::move(*next);
        }
        result.status = DefaultsStatus::Found;
        result.values = std::move(record);
    }
    return result;
}

std::filesystem::path defaultsPath(const std::filesystem::path& applicationFolder)
{
    for (const std::filesystem::path& folder : platform::programDataFolders(applicationFolder)) {
        if (platform::fileExists(folder / kDefaultsFileName)) {
            return folder / kDefaultsFileName;
        }
    }
    return applicationFolder / kDefaultsFileName;
}

DefaultsResult readDefaults(const std::filesystem::path& applicationFolder, std::string_view trackName)
{
    const std::filesystem::path path = defaultsPath(applicationFolder);
    if (!platform::fileExists(path)) {
        return {DefaultsStatus::MissingFile, {}};
    }
    const std::optional<std::string> bytes = platform::readFile(path);
    if (!bytes) {
        return {DefaultsStatus::MissingFile, {}};
    }
    return findDefaults(*bytes, trackName);
}

}  // namespace gm::track
