#include "shell/option_file.h"

#include "common/lines.h"
#include "common/quoted_field.h"
#include "platform/fs.h"

namespace gm::shell {

std::filesystem::path optionFilePath(const std::filesystem::path& folder)
{
    return folder / std::string(kOptionFileName);
}

std::optional<std::string> readGameDirectory(const std::filesystem::path& folder)
{
    const std::filesystem::path path = optionFilePath(folder);
    if (!platform::fileExists(path)) {
        return std::nullopt;
    }
    const std::optional<std::string> bytes = platform::readFile(path);
    if (!bytes) {
        return std::nullopt;
    }
    return gameDirectoryOf(*bytes);
}

std::optional<std::string> gameDirectoryOf(std::string_view bytes)
{
    const std::vector<std::string> lines = common::splitLines(bytes);
    if (lines.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> value = common::readFirstField(lines.front());
    if (!value || value->empty()) {
        return std::nullopt;
    }
    return value;
}

platform::WriteResult writeGameDirectory(const std::filesystem::path& folder,
                                         std::string_view gameDirectory)
{
    if (!common::canQuote(gameDirectory)) {
        // It would read back cut at the quote: the next start would not
        // find the game.
        return {false, "the path holds a double quote or a line break"};
    }
    return platform::writeFileAtomic(optionFilePath(folder), common::quotedLine(gameDirectory));
}

bool isGameDirectory(std::string_view folder)
{
    return platform::pathExists(platform::joinGamePath(folder, "\\players")) &&
           platform::pathExists(platform::joinGamePath(folder, "\\series"));
}

}  // namespace gm::shell
