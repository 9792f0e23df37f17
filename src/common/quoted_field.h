// The quoted-field form of the program's own small data files (the option
// file, the track defaults file, the backup index).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gm::common {

// Reads fields one at a time: leading blanks are skipped; a field that
// begins with a double quote runs to the next double quote, any other field
// to the next comma or line end. The separator after a field is consumed.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    // The next field, or nothing at the end of the text.
    std::optional<std::string> next();
    bool atEnd() const;

private:
    void skipBlanks();
    void consumeSeparator();

    std::string_view text_;
    std::size_t pos_ = 0;
};

// The first field of a text (the option file's one value); nothing when the
// text holds no field at all.
std::optional<std::string> readFirstField(std::string_view text);

// One value written as a line: in double quotes, ended by CR LF.
std::string quotedLine(std::string_view value);

// True when a value reads back whole from a quoted field: it holds no
// double quote (the field would end there) and no CR or LF (the line
// would). Values that fail it must be refused before they are written.
bool canQuote(std::string_view value);

}  // namespace gm::common
