// Line rules of the game's text files: CR LF or a lone CR ends a line when
// reading (a lone LF is part of the line); every written line ends in CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gm::common {

inline constexpr std::string_view kCrLf = "\r\n";

// Splits bytes into lines without their line ends. A final line end does
// not start another line: "a\r\nb\r\n" and "a\r\nb" both give {"a", "b"}.
std::vector<std::string> splitLines(std::string_view bytes);

// Joins lines, each followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace gm::common
