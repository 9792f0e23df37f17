// The program's text (UTF-8) in the system's ANSI code page and back, for
// code that keeps no Qt strings: the same conversions as codec.h gives for
// the text of controls.
#pragma once

#include <string>
#include <string_view>

namespace gm::platform {

// UTF-8 to bytes of the ANSI code page; characters it lacks become '?'.
std::string utf8ToAnsi(std::string_view utf8);
// Bytes of the ANSI code page to UTF-8.
std::string ansiToUtf8(std::string_view ansi);

}  // namespace gm::platform
