#include "platform/registry.h"

#include <map>
#include <mutex>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#endif

namespace gm::platform {

namespace {

using Key = std::tuple<RegistryRoot, std::string, std::string>;

std::map<Key, RegistryData>& fakeTable()
{
    static std::map<Key, RegistryData> table;
    return table;
}

std::mutex& fakeMutex()
{
    static std::mutex m;
    return m;
}

}  // namespace

void setFakeRegistryValue(RegistryRoot root, std::string_view key, std::string_view valueName,
                          RegistryData data)
{
    const std::lock_guard lock(fakeMutex());
    fakeTable()[Key{root, std::string(key), std::string(valueName)}] = std::move(data);
}

void clearFakeRegistry()
{
    const std::lock_guard lock(fakeMutex());
    fakeTable().clear();
}

std::optional<RegistryData> readRegistryValue(RegistryRoot root, std::string_view key,
                                             std::string_view valueName)
{
    {
        const std::lock_guard lock(fakeMutex());
        const auto it = fakeTable().find(Key{root, std::string(key), std::string(valueName)});
        if (it != fakeTable().end()) {
            return it->second;
        }
    }
#ifdef _WIN32
    HKEY hroot = root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY handle = nullptr;
    const std::string keyText(key);
    if (RegOpenKeyExA(hroot, keyText.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::string buffer(1024, '\0');
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD type = 0;
    const std::string name(valueName);
    const LONG rc = RegQueryValueExA(handle, name.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(handle);
    if (rc != ERROR_SUCCESS) {
        return std::nullopt;
    }
    buffer.resize(size);
    return RegistryData{type, buffer};
#else
    return std::nullopt;
#endif
}

}  // namespace gm::platform
