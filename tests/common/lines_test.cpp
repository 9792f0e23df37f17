#include <gtest/gtest.h>

#include <random>
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

std::string randomBytes(std::mt19937& random, std::size_t maxLength, bool allowCr)
{
    // Weighted towards the bytes that matter to the line rules.
    static const char special[] = {'\r', '\n', ' ', '\t', 'a', '\0'};
    std::string bytes(random() % (maxLength + 1), '\0');
    for (char& c : bytes) {
        c = random() % 4 == 0 ? static_cast<char>(random() % 256) : special[random() % sizeof special];
        if (!allowCr && c == '\r') {
            c = '\n';
        }
    }
    return bytes;
}

TEST(SplitLines, RoundTripsRandomText)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        // Lines without CR come back exactly, empty lines and LFs included.
        Lines lines;
        for (int i = static_cast<int>(random() % 6); i > 0; --i) {
            lines.push_back(randomBytes(random, 12, false));
        }
        ASSERT_EQ(splitLines(joinLines(lines)), lines) << testing::PrintToString(lines);

        // Text without CR is one line; joining it back adds only the CR LF.
        const std::string noCr = randomBytes(random, 40, false);
        ASSERT_EQ(joinLines(splitLines(noCr)), noCr.empty() ? "" : noCr + "\r\n") << testing::PrintToString(noCr);

        // Any bytes: no byte other than the line ends is lost, and a second
        // pass changes nothing.
        const std::string any = randomBytes(random, 60, true);
        const Lines split = splitLines(any);
        std::size_t kept = 0;
        for (const std::string& line : split) {
            ASSERT_EQ(line.find('\r'), std::string::npos);
            kept += line.size();
        }
        std::size_t expected = 0;
        for (std::size_t i = 0; i < any.size(); ++i) {
            expected += any[i] != '\r' && !(any[i] == '\n' && i > 0 && any[i - 1] == '\r') ? 1 : 0;
        }
        ASSERT_EQ(kept, expected) << testing::PrintToString(any);
        ASSERT_EQ(splitLines(joinLines(split)), split) << testing::PrintToString(any);
    }
}

}  // namespace
}  // namespace gm::common
