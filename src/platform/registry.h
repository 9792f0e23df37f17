// Reading the Windows registry. Off Windows the registry is an in-memory
// table, empty unless something (a test) fills it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gm::platform {

enum class RegistryRoot { LocalMachine, CurrentUser };

constexpr std::uint32_t kRegString = 1;  // REG_SZ
constexpr std::uint32_t kRegDword = 4;   // REG_DWORD

struct RegistryData {
    std::uint32_t type = 0;
    std::string bytes;  // raw value data as the registry returns it
};

// Raw data of one value; nothing when the key or the value cannot be read.
std::optional<RegistryData> readRegistryValue(RegistryRoot root, std::string_view key,
                                             std::string_view valueName);

// In-memory registry used off Windows (and by tests).
void setFakeRegistryValue(RegistryRoot root, std::string_view key, std::string_view valueName,
                          RegistryData data);
void clearFakeRegistry();

}  // namespace gm::platform
