#include <gtest/gtest.h>

#include <QString>
#include <string>
#include <utility>

#include "platform/codec.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace gm::platform {
namespace {

// Windows converts through the system's active code page: these cases are
// Windows-1252's, the code page of a Western Windows, of Wine in an English
// or C locale, and of the program everywhere else.
bool codePageIsWindows1252()
{
#ifdef _WIN32
    return GetACP() == 1252;
#else
    return true;
#endif
}

#define SKIP_UNLESS_WINDOWS_1252()                                                                        \
    if (!codePageIsWindows1252()) {                                                                      \
        GTEST_SKIP() << "the system's code page is not Windows-1252, whose characters these cases check"; \
    }

TEST(Codec, Windows1252CharactersAndEveryByteRoundTrip)
{
    SKIP_UNLESS_WINDOWS_1252();
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    ASSERT_EQ(fromAnsi(all).size(), 256);
    EXPECT_EQ(toAnsi(fromAnsi(all)), all);
    EXPECT_EQ(fromAnsi(""), QString());

    // 0x80 is the euro sign; the bytes the code page leaves undefined (0x81,
    // 0x8D, 0x8F, 0x90, 0x9D) are the C1 controls of the same value.
    const std::pair<unsigned char, char16_t> cases[] = {
        {0x41, u'A'},   {0x00, 0x0000}, {0x0D, 0x000D}, {0x7F, 0x007F}, {0x80, 0x20AC}, {0x81, 0x0081},
        {0x82, 0x201A}, {0x83, 0x0192}, {0x85, 0x2026}, {0x8A, 0x0160}, {0x8C, 0x0152}, {0x8D, 0x008D},
        {0x8E, 0x017D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, 0x2018}, {0x92, 0x2019}, {0x93, 0x201C},
        {0x94, 0x201D}, {0x96, 0x2013}, {0x97, 0x2014}, {0x99, 0x2122}, {0x9A, 0x0161}, {0x9C, 0x0153},
        {0x9D, 0x009D}, {0x9E, 0x017E}, {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xA9, 0x00A9}, {0xE9, 0x00E9},
        {0xFF, 0x00FF},
    };
    for (const auto& [byte, unicode] : cases) {
        const std::string bytes(1, static_cast<char>(byte));
        EXPECT_EQ(fromAnsi(bytes), QString(QChar(unicode))) << std::hex << int(byte);
        EXPECT_EQ(toAnsi(QString(QChar(unicode))), bytes) << std::hex << int(unicode);
    }
}

TEST(Codec, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    SKIP_UNLESS_WINDOWS_1252();
    // Never a look-alike (Windows would give "A" for A with macron).
    // Two CJK characters; one character in a surrogate pair; lone high and
    // low surrogates.
    const std::pair<QString, const char*> cases[] = {
        {QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac 5"), "Caf\xe9 \x80 5"}, {QString(QChar(0x0100)), "?"},
        {QString::fromUtf8("\xe6\x9d\xb1\xe4\xba\xac"), "??"}, {QString::fromUtf8("a\xf0\x9f\x8f\x81z"), "a?z"},
        {QString(QChar(0xD83C)), "?"}, {QString(QChar(0xDFC1)) + "x", "?x"},
        {QString(QChar(0xD83C)) + QChar(0xD83C) + QChar(0xDFC1), "??"}, {QString(), ""},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(toAnsi(text), bytes) << text.toStdString();
    }
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
    SKIP_UNLESS_WINDOWS_1252();
    // é € œ fit, Ł and ź of Łódź and α do not; a repeated one is named once,
    // a surrogate pair stays whole.
    const std::pair<const char*, const char*> cases[] = {
        {"Cup 2024", ""}, {"Caf\xc3\xa9 \xe2\x82\xac \xc5\x93", ""}, {"\xc5\x81\xc3\xb3" "d\xc5\xba Cup", "\xc5\x81\xc5\xba"},
        {"2024 \xe2\x82\xac \xce\xb1", "\xce\xb1"}, {"\xce\xa9\xce\xa9x\xce\xa9", "\xce\xa9"},
        {"a\xf0\x9f\x8f\x81z\xf0\x9f\x8f\x81", "\xf0\x9f\x8f\x81"}, {"", ""},
    };
    for (const auto& [typed, named] : cases) {
        EXPECT_EQ(unholdableCharacters(QString::fromUtf8(typed)).toStdString(), named) << typed;
    }
    // Exactly the characters that toAnsi would turn into '?'.
    for (char32_t u = 0x20; u <= 0xFFFF; ++u) {
        if ((u >= 0xD800 && u <= 0xDFFF) || u == '?') {
            continue;
        }
        const QString c(QChar(static_cast<char16_t>(u)));
        ASSERT_EQ(unholdableCharacters(c).isEmpty(), toAnsi(c) != "?") << std::hex << static_cast<unsigned>(u);
    }
    EXPECT_EQ(unholdableMessage(QStringLiteral("The season name"), QString::fromUtf8("\xc5\x81\xc5\xba")).toStdString(),
              "The season name contains characters that the game's files cannot store: \xc5\x81 \xc5\xba. "
              "Please input it without them.");
}

}  // namespace
}  // namespace gm::platform
