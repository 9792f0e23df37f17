// The rule for names the user types that become plain file names in one of
// the program's folders (season files, backups).
#pragma once

#include <string_view>

namespace gm::common {

// True when name + an extension can be a plain file name directly in a
// folder: no path separators or \ / : * ? " < > | or control characters,
// not only blanks or dots, no leading dot (the file would be hidden), and
// not a device name such as CON or LPT1. The name is UTF-8 text.
bool isUsableFileName(std::string_view name);

}  // namespace gm::common
