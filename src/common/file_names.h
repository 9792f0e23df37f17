// The rule for names the user types that become plain file names in one of
// the program's folders (season files, backups).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gm::common {

// True when name + an extension can be a plain file name directly in a
// folder: no path separators or \ / : * ? " < > | or control characters,
// not only blanks or dots, no leading dot (the file would be hidden), and
// not a device name such as CON or LPT1. The name is UTF-8 text.
bool isUsableFileName(std::string_view name);

// The longest file name the program creates: 255, the limit of the usual
// file systems of Windows (in UTF-16 units) and Linux (in bytes).
inline constexpr std::size_t kMaxFileNameLength = 255;

// True when name + extension (UTF-8) is at most kMaxFileNameLength UTF-8
// bytes and at most as many UTF-16 units, so that the file can be made on
// either system (a game folder may be shared through Wine).
bool fitsFileNameLength(std::string_view name, std::string_view extension);

// The one refusal of a typed name that becomes name + extension in one of
// the program's folders: empty when the name is usable (isUsableFileName
// and fitsFileNameLength), else the message to show (exclamation icon, OK
// button). `what` names the value in the message, e.g. "season name":
//   The season name is also the name of its file. Please input a season
//   name without \ / : * ? " < > | ...
//   The season name is also the name of its file and is too long for a file
//   name. Please input a shorter season name.
std::string fileNameRefusal(std::string_view name, std::string_view extension, std::string_view what);

}  // namespace gm::common
