#include "ui/app_context.h"

#include "platform/fs.h"

namespace gm::ui {

std::filesystem::path AppContext::gamePath(std::string_view relative) const
{
    return platform::joinGamePath(gameDirectory, relative);
}

const std::filesystem::path& AppContext::ownFilesFolder() const
{
    return dataFolder.empty() ? applicationFolder : dataFolder;
}

std::filesystem::path AppContext::backupFolder() const
{
    return ownFilesFolder() / "Backup";
}

}  // namespace gm::ui
