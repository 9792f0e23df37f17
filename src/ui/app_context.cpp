#include "ui/app_context.h"

#include "platform/fs.h"

namespace gm::ui {

std::filesystem::path AppContext::gamePath(std::string_view relative) const
{
    return platform::joinGamePath(gameDirectory, relative);
}

}  // namespace gm::ui
