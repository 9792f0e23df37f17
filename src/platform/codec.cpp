#include "platform/codec.h"

#include <QStringList>
#include <algorithm>
#include <array>

#include "platform/ansi_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace gm::platform {

namespace {

// Windows-1252 bytes 0x80..0x9F; the five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool fitsCodePage(char32_t c)
{
#ifdef _WIN32
    wchar_t wide[2];
    int n = 1;
    if (c > 0xFFFF) {
        wide[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        wide[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        n = 2;
    } else {
        wide[0] = static_cast<wchar_t>(c);
    }
    if (GetACP() == CP_UTF8) {
        // Every character has bytes there, lone surrogates excepted.
        return !(c >= 0xD800 && c <= 0xDFFF);
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    // No "best fit": a character that would come out as a look-alike
    // (Ł as L) is not held by the code page either.
    const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, n, bytes,
                                            static_cast<int>(sizeof bytes), nullptr, &usedDefault);
    return written > 0 && !usedDefault;
#else
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return true;
    }
    for (const char16_t h : kHigh) {
        if (h == c) {
            return true;
        }
    }
    return false;
#endif
}

}  // namespace

QString unholdableCharacters(const QString& text)
{
    QString found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        qsizetype length = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            length = 2;
        }
        const QString character = text.mid(i, length);
        i += length - 1;
        if (!fitsCodePage(c) && !found.contains(character)) {
            found += character;
        }
    }
    return found;
}

QString unholdableMessage(const QString& what, const QString& characters, const QString& advice)
{
    // The characters one by one, a blank between them, so that marks that
    // combine with the one before them stay visible.
    QStringList shownCharacters;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const qsizetype length =
            characters.at(i).isHighSurrogate() && i + 1 < characters.size() ? 2 : 1;
        shownCharacters << characters.mid(i, length);
        i += length - 1;
    }
    return what + QStringLiteral(" contains characters that the game's files cannot store: ") +
           shownCharacters.join(QLatin1Char(' ')) + QStringLiteral(". ") + advice;
}

QString fromAnsi(std::string_view bytes)
{
#ifdef _WIN32
    if (bytes.empty()) {
        return {};
    }
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return QString::fromStdWString(wide);
#else
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const char16_t u = (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80u] : char16_t(b);
        text.append(QChar(u));
    }
    return text;
#endif
}

std::string toAnsi(const QString& text)
{
#ifdef _WIN32
    if (text.isEmpty()) {
        return {};
    }
    if (GetACP() == CP_UTF8) {
        // With the "UTF-8 as ANSI" setting every character has bytes (the
        // call takes no replacement character there).
        const std::wstring wide = text.toStdWString();
        const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                          nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(std::max(n, 0)), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr,
                            nullptr);
        return bytes;
    }
    // Character by character, without "best fit": a character the code page
    // lacks is one '?', not a look-alike (Ł as L) that would read back as
    // another character, and a surrogate pair is one character.
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        wchar_t wide[2] = {static_cast<wchar_t>(text.at(i).unicode()), 0};
        int length = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            wide[1] = static_cast<wchar_t>(text.at(++i).unicode());
            length = 2;
        }
        char out[8];
        BOOL usedDefault = FALSE;
        const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, out,
                                                static_cast<int>(sizeof out), "?", &usedDefault);
        if (written <= 0 || usedDefault) {
            bytes.push_back('?');
        } else {
            bytes.append(out, static_cast<std::size_t>(written));
        }
    }
    return bytes;
#else
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.push_back(static_cast<char>(u));
            continue;
        }
        char out = '?';
        for (std::size_t k = 0; k < kHigh.size(); ++k) {
            if (kHigh[k] == u) {
                out = static_cast<char>(0x80 + k);
                break;
            }
        }
        // A surrogate pair is one character the code page lacks: one '?'.
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        }
        bytes.push_back(out);
    }
    return bytes;
#endif
}

std::string utf8ToAnsi(std::string_view utf8)
{
    return toAnsi(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::string ansiToUtf8(std::string_view ansi)
{
    return fromAnsi(ansi).toStdString();
}

}  // namespace gm::platform
