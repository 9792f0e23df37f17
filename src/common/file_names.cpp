#include "common/file_names.h"

#include <algorithm>
#include <array>
#include <string>

namespace gm::common {

bool isUsableFileName(std::string_view name)
{
    if (name.find_first_not_of(" .") == std::string_view::npos) {
        return false;  // empty, ".", "..", or blanks only
    }
    if (name.front() == '.') {
        return false;  // a hidden file where a leading dot hides it, never listed as a season
    }
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            return false;
        }
    }
    // Windows keeps these names for devices, whatever extension follows.
    std::string upper;
    for (const char c : name.substr(0, name.find('.'))) {
        upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    while (!upper.empty() && upper.back() == ' ') {
        upper.pop_back();
    }
    static constexpr std::array<std::string_view, 4> devices{"CON", "PRN", "AUX", "NUL"};
    if (std::find(devices.begin(), devices.end(), upper) != devices.end()) {
        return false;
    }
    if (upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
        upper[3] <= '9') {
        return false;
    }
    return true;
}

bool fitsFileNameLength(std::string_view name, std::string_view extension)
{
    std::size_t bytes = 0;
    std::size_t units = 0;
    for (const std::string_view part : {name, extension}) {
        for (const char c : part) {
            const auto b = static_cast<unsigned char>(c);
            ++bytes;
            if ((b & 0xC0) != 0x80) {
                // A lead byte starts a character: one UTF-16 unit, or two
                // for a four-byte sequence (outside the BMP).
                units += b >= 0xF0 ? 2 : 1;
            }
        }
    }
    return bytes <= kMaxFileNameLength && units <= kMaxFileNameLength;
}

std::string fileNameRefusal(std::string_view name, std::string_view extension, std::string_view what)
{
    const std::string value(what);
    if (!isUsableFileName(name)) {
        return "The " + value + " is also the name of its file. Please input a " + value +
               " without \\ / : * ? \" < > | or control characters that does not begin with a dot, is not only "
               "blanks or dots and is not a device name such as CON.";
    }
    if (!fitsFileNameLength(name, extension)) {
        return "The " + value + " is also the name of its file and is too long for a file name. Please input a "
               "shorter " + value + ".";
    }
    return {};
}

}  // namespace gm::common
