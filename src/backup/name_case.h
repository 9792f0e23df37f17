// Letter case of the program's path text (UTF-8), as the Windows file
// functions and the classic collection keys treat it: ASCII letters and
// the accented letters of Latin-1.
#pragma once

#include <string>
#include <string_view>

namespace gm::backup {

std::string upperCaseName(std::string_view text);

}  // namespace gm::backup
