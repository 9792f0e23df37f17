// The error the archive classes raise: a number, the member it came from
// and a description, so a window can show "number tag description".
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace gm::backup {

// Numbered errors of the archive classes add to the object-error base.
inline constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);
inline constexpr std::int32_t kErrorAlreadyInList = kObjectErrorBase + 2001;  // 0x800407D1
inline constexpr std::int32_t kErrorNotInList = kObjectErrorBase + 2002;      // 0x800407D2
// Run-time errors keep the classic numbers of the language the classes
// were first written in.
inline constexpr std::int32_t kErrorOverflow = 6;             // "Overflow"
inline constexpr std::int32_t kErrorSubscriptOutOfRange = 9;  // "Subscript out of range"
inline constexpr std::int32_t kErrorOutOfMemory = 7;          // "Out of memory"
inline constexpr std::int32_t kErrorInternal = 51;            // "Internal error": what failed, in its own words
inline constexpr std::int32_t kErrorPathAccess = 75;          // "Path/File access error"
inline constexpr const char* kOutOfMemoryText = "Out of memory";
inline constexpr const char* kPathAccessText = "Path/File access error";

class ZipError : public std::runtime_error {
public:
    ZipError(std::int32_t number, std::string source, std::string description);

    // Negative for the object errors (0x800407D1 reads -2147219503).
    std::int32_t number() const noexcept { return number_; }
    // Class or module + "::" + member, e.g. "CGZip::AddFile".
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }

    // The same error passed on from another member: number and
    // description kept, source replaced.
    ZipError withSource(std::string source) const;

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

}  // namespace gm::backup
