#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/quoted_field.h"

namespace gm::common {
namespace {

using Fields = std::vector<std::string>;

Fields readAll(std::string_view text)
{
    FieldReader reader(text);
    Fields fields;
    // A reader that stops advancing would loop here for ever; a field per
    // byte (plus one) is the most a text can hold.
    for (std::size_t guard = 0; guard <= text.size() + 1; ++guard) {
        std::optional<std::string> field = reader.next();
        if (!field) {
            return fields;
        }
        fields.push_back(std::move(*field));
    }
    ADD_FAILURE() << "reader does not reach the end of " << testing::PrintToString(std::string(text));
    return fields;
}

TEST(FieldReader, ReadsFieldsInOrder)
{
    // A comma inside quotes belongs to the value; leading blanks (not TABs) are skipped; the line end
    // after a quoted field is its separator; text between a closing quote and the separator is passed
    // over; an unterminated quote runs to the end of the text; a quote inside an unquoted field is an
    // ordinary byte.
    const std::pair<std::string, Fields> cases[] = {
        {"", {}}, {"\"C:\\Quillon\\Gridmark\\\"\r\n", {"C:\\Quillon\\Gridmark\\"}}, {"\"a,b\"", {"a,b"}},
        {"\"  keep blanks  \"", {"  keep blanks  "}}, {"\"\",\"x\"", {"", "x"}}, {"   \"lead\"", {"lead"}},
        {"C:\\Games\\Gridmark,rest", {"C:\\Games\\Gridmark", "rest"}}, {"   lead", {"lead"}},
        {"a, b,  c", {"a", "b", "c"}}, {"a,,c", {"a", "", "c"}}, {",x", {"", "x"}},
        {"\"atlanta\",1.0,0.95,\"x y\"\r\n\"bristol\",2\r\n", {"atlanta", "1.0", "0.95", "x y", "bristol", "2"}},
        {"one\r\ntwo\rthree\nfour", {"one", "two", "three", "four"}}, {"\"q\"\r\nnext", {"q", "next"}},
        {"\"q\",\r\nnext", {"q", "", "next"}}, {"\"a\"junk,b", {"a", "b"}}, {"\"open to the end", {"open to the end"}},
        {"\"open\r\nover lines", {"open\r\nover lines"}}, {"x\"y\",z", {"x\"y\"", "z"}}, {"\tvalue", {"\tvalue"}},
        {std::string("\"\0\xff\"", 4), {std::string("\0\xff", 2)}},
    };
    for (const auto& [text, fields] : cases) {
        EXPECT_EQ(readAll(text), fields) << "text: " << testing::PrintToString(text);
    }
}

TEST(FieldReader, AtEndOnlyWhenNoFieldIsLeft)
{
    FieldReader reader("\"a\" ,b  \r\n  \r\n");
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.next(), "a");
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.next(), "b");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.next(), std::nullopt);
    EXPECT_EQ(reader.next(), std::nullopt);
    EXPECT_TRUE(FieldReader("   ").atEnd());
}

// The option file's value: how its line is read is the option file's test.
TEST(QuotedLine, OneValueInQuotesEndedByCrLfThatReadsBackWhole)
{
    for (const std::string value : {"C:\\Quillon\\Gridmark\\", "/home/u/.wine/drive_c/G, with comma/", ""}) {
        EXPECT_EQ(quotedLine(value), "\"" + value + "\"\r\n");
        EXPECT_EQ(readFirstField(quotedLine(value)), value);
    }
}

}  // namespace
}  // namespace gm::common
