// A lock file that marks work of this process in flight. It is held while
// the object lives; once the process that took it has ended (a crash, a
// kill), it is stale and can be taken again, so that what the work left
// behind can be cleaned up.
#pragma once

#include <filesystem>
#include <memory>

class QLockFile;

namespace gm::platform {

class WorkLock {
public:
    // Tries to take the lock at `path` at once: held() says whether it did.
    // A lock left by a process that has ended is taken.
    explicit WorkLock(const std::filesystem::path& path);
    ~WorkLock();  // gives the lock back and removes its file
    WorkLock(const WorkLock&) = delete;
    WorkLock& operator=(const WorkLock&) = delete;

    bool held() const;

private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace gm::platform
