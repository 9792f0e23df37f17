#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/lines.h"

namespace gm::common {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitLines, LineEnds)
{
    // A lone CR ends a line, a lone LF stays inside it.
    const std::pair<std::string, Lines> cases[] = {
        {"", {}}, {"a", {"a"}}, {"a\r\n", {"a"}}, {"a\r\nb", {"a", "b"}}, {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}}, {"a\nb", {"a\nb"}}, {"a\n\r\nb\n", {"a\n", "b\n"}}, {"\n", {"\n"}}, {"\r", {""}},
        {"\r\n", {""}}, {"\r\r", {"", ""}}, {"\r\n\r\n", {"", ""}}, {"\r\r\n", {"", ""}}, {"\n\r", {"\n"}},
        {"a\r\n\r\nb", {"a", "", "b"}}, {"x\r\n\n", {"x", "\n"}},
        {std::string("a\0b\r\n\xff", 6), {std::string("a\0b", 3), "\xff"}},
        {"  lead\tand trail  \r\n", {"  lead\tand trail  "}},
    };
    for (const auto& [bytes, lines] : cases) {
        EXPECT_EQ(splitLines(bytes), lines) << "input: " << testing::PrintToString(bytes);
    }
}

TEST(JoinLines, EveryLineEndsInCrLf)
{
    const std::pair<Lines, std::string> cases[] = {
        {{}, ""}, {{""}, "\r\n"}, {{"a", "", "b"}, "a\r\n\r\nb\r\n"}, {{"x\n", "y"}, "x\n\r\ny\r\n"},
    };
    for (const auto& [lines, bytes] : cases) {
        EXPECT_EQ(joinLines(lines), bytes) << testing::PrintToString(lines);
    }
}

}  // namespace
}  // namespace gm::common
