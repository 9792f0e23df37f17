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
    struct Case {
        std::string bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},                 // a lone CR ends a line
        {"a\nb", {"a\nb"}},                     // a lone LF stays inside the line
        {"a\n\r\nb\n", {"a\n", "b\n"}},
        {"\n", {"\n"}},
        {"\r", {""}},
        {"\r\n", {""}},
        {"\r\r", {"", ""}},
        {"\r\n\r\n", {"", ""}},
        {"\r\r\n", {"", ""}},                   // CR, then CR LF
        {"\n\r", {"\n"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"x\r\n\n", {"x", "\n"}},
        {std::string("a\0b\r\n\xff", 6), {std::string("a\0b", 3), "\xff"}},
        {"  lead\tand trail  \r\n", {"  lead\tand trail  "}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitLines(c.bytes), c.lines) << "input: " << testing::PrintToString(c.bytes);
    }
}

TEST(JoinLines, EveryLineEndsInCrLf)
{
    EXPECT_EQ(joinLines({}), "");
    EXPECT_EQ(joinLines({""}), "\r\n");
    EXPECT_EQ(joinLines({"a"}), "a\r\n");
    EXPECT_EQ(joinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(joinLines({"x\n", "y"}), "x\n\r\ny\r\n");
}

std::string randomBytes(std::mt19937& random, std::size_t maxLength, bool allowCr)
{
    // Weighted towards the bytes that matter to the line rules.
    static const char special[] = {'\r', '\n', ' ', '\t', 'a', '\0'};
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof special - 1);
    std::string bytes;
    const std::size_t n = length(random);
    while (bytes.size() < n) {
        char c = kind(random) == 0 ? static_cast<char>(anyByte(random)) : special[pick(random)];
        if (!allowCr && c == '\r') {
            c = '\n';
        }
        bytes.push_back(c);
    }
    return bytes;
}

TEST(SplitLines, RoundTripsRandomText)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        // Lines without CR come back exactly, empty lines and LFs included.
        Lines lines;
        const int count = static_cast<int>(random() % 6);
        for (int i = 0; i < count; ++i) {
            lines.push_back(randomBytes(random, 12, false));
        }
        ASSERT_EQ(splitLines(joinLines(lines)), lines) << testing::PrintToString(lines);

        // Text without CR is one line; joining it back adds only the CR LF.
        const std::string noCr = randomBytes(random, 40, false);
        ASSERT_EQ(joinLines(splitLines(noCr)), noCr.empty() ? "" : noCr + "\r\n")
            << testing::PrintToString(noCr);

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
            const bool crlfLf = any[i] == '\n' && i > 0 && any[i - 1] == '\r';
            if (any[i] != '\r' && !crlfLf) {
                ++expected;
            }
        }
        ASSERT_EQ(kept, expected) << testing::PrintToString(any);
        ASSERT_EQ(splitLines(joinLines(split)), split) << testing::PrintToString(any);
    }
}

}  // namespace
}  // namespace gm::common
