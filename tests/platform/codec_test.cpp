#include <gtest/gtest.h>

#include <QString>
#include <random>
#include <string>

#include "platform/codec.h"

namespace gm::platform {
namespace {

#ifndef _WIN32  // Windows uses the machine's active code page.

TEST(Codec, EveryByteRoundTrips)
{
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const QString text = fromAnsi(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(toAnsi(text), all);

    std::mt19937 random(1252);
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        const int n = static_cast<int>(random() % 64);
        for (int i = 0; i < n; ++i) {
            bytes.push_back(static_cast<char>(random() % 256));
        }
        ASSERT_EQ(toAnsi(fromAnsi(bytes)), bytes);
    }
}

TEST(Codec, Windows1252Characters)
{
    struct Case {
        unsigned char byte;
        char16_t unicode;
    };
    const Case cases[] = {
        {0x41, u'A'},      {0x00, 0x0000},    {0x0D, 0x000D},    {0x7F, 0x007F},
        {0x80, 0x20AC},    // euro sign
        {0x81, 0x0081},    // undefined in the code page: the C1 control of that value
        {0x82, 0x201A},    {0x83, 0x0192},    {0x85, 0x2026},    {0x8A, 0x0160},
        {0x8C, 0x0152},    {0x8D, 0x008D},    {0x8E, 0x017D},    {0x8F, 0x008F},
        {0x90, 0x0090},    {0x91, 0x2018},    {0x92, 0x2019},    {0x93, 0x201C},
        {0x94, 0x201D},    {0x96, 0x2013},    {0x97, 0x2014},    {0x99, 0x2122},
        {0x9A, 0x0161},    {0x9C, 0x0153},    {0x9D, 0x009D},    {0x9E, 0x017E},
        {0x9F, 0x0178},    {0xA0, 0x00A0},    {0xA9, 0x00A9},    {0xE9, 0x00E9},
        {0xFF, 0x00FF},
    };
    for (const Case& c : cases) {
        const std::string byte(1, static_cast<char>(c.byte));
        const QString text = fromAnsi(byte);
        ASSERT_EQ(text.size(), 1);
        EXPECT_EQ(text.at(0).unicode(), c.unicode) << std::hex << int(c.byte);
        EXPECT_EQ(toAnsi(QString(QChar(c.unicode))), byte) << std::hex << int(c.unicode);
    }
    EXPECT_EQ(toAnsi(QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac 5")), "Caf\xe9 \x80 5");
}

TEST(Codec, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(toAnsi(QString(QChar(0x0100))), "?");
    EXPECT_EQ(toAnsi(QString::fromUtf8("\xe6\x9d\xb1\xe4\xba\xac")), "??");   // two CJK characters
    EXPECT_EQ(toAnsi(QString::fromUtf8("a\xf0\x9f\x8f\x81z")), "a?z");         // one character, a surrogate pair
    EXPECT_EQ(toAnsi(QString(QChar(0xD83C))), "?");                          // a lone high surrogate
    EXPECT_EQ(toAnsi(QString(QChar(0xDFC1)) + "x"), "?x");                   // a lone low surrogate
    QString twoHigh;
    twoHigh.append(QChar(0xD83C));
    twoHigh.append(QChar(0xD83C));
    twoHigh.append(QChar(0xDFC1));
    EXPECT_EQ(toAnsi(twoHigh), "??");
    EXPECT_EQ(toAnsi(QString()), "");
    EXPECT_EQ(fromAnsi(""), QString());

    // No other character takes the byte of one that the code page holds.
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) {
            continue;
        }
        const QChar c(static_cast<char16_t>(u));
        const std::string bytes = toAnsi(QString(c));
        ASSERT_EQ(bytes.size(), 1u) << std::hex << static_cast<unsigned>(u);
        if (bytes != "?") {
            ASSERT_EQ(fromAnsi(bytes), QString(c)) << std::hex << static_cast<unsigned>(u);
        }
    }
}

TEST(Codec, UnholdableCharactersAreNamedOnceInOrder)
{
    struct Case {
        const char* typed;  // UTF-8
        const char* named;  // UTF-8
    };
    const Case cases[] = {
        {"Cup 2024", ""},
        {"Caf\xc3\xa9 \xe2\x82\xac \xc5\x93", ""},                         // é € œ are in the code page
        {"\xc5\x81\xc3\xb3" "d\xc5\xba Cup", "\xc5\x81\xc5\xba"},              // Łódź: Ł and ź
        {"2024 \xe2\x82\xac \xce\xb1", "\xce\xb1"},                          // € fits, α does not
        {"\xce\xa9\xce\xa9x\xce\xa9", "\xce\xa9"},                            // repeated once
        {"a\xf0\x9f\x8f\x81z\xf0\x9f\x8f\x81", "\xf0\x9f\x8f\x81"},        // a surrogate pair stays whole
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(unholdableCharacters(QString::fromUtf8(c.typed)).toStdString(), c.named) << c.typed;
    }
    // Exactly the characters that toAnsi would turn into '?'.
    for (char32_t u = 0x20; u <= 0xFFFF; ++u) {
        if ((u >= 0xD800 && u <= 0xDFFF) || u == '?') {
            continue;
        }
        const QString c(QChar(static_cast<char16_t>(u)));
        ASSERT_EQ(unholdableCharacters(c).isEmpty(), toAnsi(c) != "?") << std::hex << static_cast<unsigned>(u);
    }
    EXPECT_EQ(unholdableMessage(QStringLiteral("The season name"), QString::fromUtf8("\xc5\x81\xc5\xba"))
                  .toStdString(),
              "The season name contains characters that the game's files cannot store: \xc5\x81 \xc5\xba. "
              "Please input it without them.");
}

#endif

}  // namespace
}  // namespace gm::platform
