// The one message log of the archive classes: emptied at the start of every
// MakeZipFile and Unzip, filled with the packer's and unpacker's messages,
// returned by GetLastMessage of both classes. Safe to use from any thread.
#pragma once

#include <string>
#include <string_view>

namespace gm::backup::code_module {

void clearMessageLog();
void appendMessage(std::string_view text);
// A copy of the log.
std::string messageLog();

// The unpacker's print rule: a text whose first character is a line feed
// counts as CR LF as a whole; the text is then appended to the log.
void printMessage(std::string_view text);

}  // namespace gm::backup::code_module
