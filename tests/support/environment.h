// Environment variables and the current folder changed for one scope.
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace gm::test {

// Sets (or, given nothing, removes) an environment variable; puts back what
// was there when it goes.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name))
    {
        if (value) {
            qputenv(name, QByteArray::fromStdString(*value));
        } else {
            qunsetenv(name);
        }
    }
    ~ScopedEnv()
    {
        if (had_) {
            qputenv(name_, saved_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray saved_;
};

// Makes a folder the current one; goes back when it goes.
class ScopedCurrentPath {
public:
    explicit ScopedCurrentPath(const std::filesystem::path& folder) : saved_(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~ScopedCurrentPath()
    {
        std::error_code ec;
        std::filesystem::current_path(saved_, ec);
    }
    ScopedCurrentPath(const ScopedCurrentPath&) = delete;
    ScopedCurrentPath& operator=(const ScopedCurrentPath&) = delete;

private:
    std::filesystem::path saved_;
};

}  // namespace gm::test
