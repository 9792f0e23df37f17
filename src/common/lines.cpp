#include "common/lines.h"

namespace gm::common {

std::vector<std::string> splitLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            continue;
        }
        lines.emplace_back(bytes.substr(start, i - start));
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < bytes.size()) {
        lines.emplace_back(bytes.substr(start));
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::size_t total = 0;
    for (const std::string& line : lines) {
        total += line.size() + kCrLf.size();
    }
    std::string out;
    out.reserve(total);
    for (const std::string& line : lines) {
        out += line;
        out += kCrLf;
    }
    return out;
}

}  // namespace gm::common
