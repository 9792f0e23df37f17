// Game files are bytes in the system's ANSI code page; controls show Unicode.
// These two conversions are the only place where the two meet.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace gm::platform {

// Bytes of the ANSI code page (Windows: the active code page; elsewhere
// Windows-1252) to Unicode. Every byte maps to some character.
QString fromAnsi(std::string_view bytes);

// Unicode to ANSI bytes; characters the code page lacks become '?'.
std::string toAnsi(const QString& text);

}  // namespace gm::platform
