#include "backup/name_case.h"

namespace gm::backup {

namespace {

// Lower-case letters of U+00E0..U+00FE (except U+00F7) are their capitals
// plus 0x20; in UTF-8 both are 0xC3 followed by the low byte + 0x40.
constexpr unsigned char kLatin1Lead = 0xC3;

}  // namespace

std::string upperCaseName(std::string_view text)
{
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 0x20);
        } else if (c == kLatin1Lead && i + 1 < out.size()) {
            const auto next = static_cast<unsigned char>(out[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7) {
                out[i + 1] = static_cast<char>(next - 0x20);
            }
            ++i;
        }
    }
    return out;
}

}  // namespace gm::backup
