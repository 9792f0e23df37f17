#include "platform/process_start.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include "platform/fs.h"

namespace gm::platform {

namespace {

std::function<bool(const std::filesystem::path&)>& starterOverride()
{
    static std::function<bool(const std::filesystem::path&)> starter;
    return starter;
}

}  // namespace

void setProgramStarter(std::function<bool(const std::filesystem::path&)> starter)
{
    starterOverride() = std::move(starter);
}

bool startProgram(const std::filesystem::path& program)
{
    if (starterOverride()) {
        return starterOverride()(program);
    }
    if (!fileExists(program)) {
        return false;
    }
    return QProcess::startDetached(QString::fromStdString(fromPath(program)), QStringList{});
}

}  // namespace gm::platform
