#include "shell/recycle_file.h"

#include "platform/recycle.h"

namespace gm::shell {

int RecycleFile(const std::filesystem::path& path) noexcept
{
    try {
        return platform::moveToRecycleBin(path);
    } catch (...) {
        return 1;
    }
}

}  // namespace gm::shell
