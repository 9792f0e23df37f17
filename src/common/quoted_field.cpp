#include "common/quoted_field.h"

namespace gm::common {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// True right after a consumed comma: a field always follows a comma.
bool afterComma(std::string_view text, std::size_t pos)
{
    return pos > 0 && text[pos - 1] == ',';
}

}  // namespace

void FieldReader::skipBlanks()
{
    while (pos_ < text_.size() && text_[pos_] == ' ') {
        ++pos_;
    }
}

bool FieldReader::atEnd() const
{
    std::size_t p = pos_;
    if (afterComma(text_, pos_)) {
        while (p < text_.size() && text_[p] == ' ') {
            ++p;
        }
        if (p < text_.size()) {
            return false;
        }
    }
    while (p < text_.size() && (text_[p] == ' ' || isLineEnd(text_[p]))) {
        ++p;
    }
    return p >= text_.size();
}

void FieldReader::consumeSeparator()
{
    // After a quoted field, anything up to the separator is passed over.
    while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_])) {
        ++pos_;
    }
    if (pos_ >= text_.size()) {
        return;
    }
    if (text_[pos_] == ',') {
        ++pos_;
        return;
    }
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') {
        ++pos_;
    }
    ++pos_;
}

std::optional<std::string> FieldReader::next()
{
    // A comma at a line end is followed by an empty field, not by the first
    // field of the next line.
    if (afterComma(text_, pos_)) {
        skipBlanks();
        if (pos_ < text_.size() && isLineEnd(text_[pos_])) {
            consumeSeparator();
            return std::string();
        }
    }
    // Empty lines between records hold no field.
    while (true) {
        skipBlanks();
        if (pos_ >= text_.size()) {
            return std::nullopt;
        }
        if (!isLineEnd(text_[pos_])) {
            break;
        }
        ++pos_;
    }
    std::string field;
    if (text_[pos_] == '"') {
        ++pos_;
        const std::size_t close = text_.find('"', pos_);
        const std::size_t end = close == std::string_view::npos ? text_.size() : close;
        field.assign(text_.substr(pos_, end - pos_));
        pos_ = close == std::string_view::npos ? text_.size() : close + 1;
    } else {
        std::size_t end = pos_;
        while (end < text_.size() && text_[end] != ',' && !isLineEnd(text_[end])) {
            ++end;
        }
        field.assign(text_.substr(pos_, end - pos_));
        // Trailing blanks before a comma or line end are not part of the value.
        while (!field.empty() && field.back() == ' ') {
            field.pop_back();
        }
        pos_ = end;
    }
    consumeSeparator();
    return field;
}

std::optional<std::string> readFirstField(std::string_view text)
{
    FieldReader reader(text);
    return reader.next();
}

bool canQuote(std::string_view value)
{
    return value.find_first_of("\"\r\n") == std::string_view::npos;
}

std::string quotedLine(std::string_view value)
{
    std::string line;
    line.reserve(value.size() + 4);
    line += '"';
    line += value;
    line += "\"\r\n";
    return line;
}

}  // namespace gm::common
