#include "platform/work_lock.h"

#include <QLockFile>
#include <QString>

#include "platform/fs.h"

namespace gm::platform {

WorkLock::WorkLock(const std::filesystem::path& path)
    : lock_(std::make_unique<QLockFile>(QString::fromStdString(fromPath(path))))
{
    // Stale only when its process has ended, however old it is.
    lock_->setStaleLockTime(0);
    lock_->tryLock(0);
}

WorkLock::~WorkLock() = default;  // QLockFile unlocks (removing the file) as it goes

bool WorkLock::held() const
{
    return lock_->isLocked();
}

}  // namespace gm::platform
