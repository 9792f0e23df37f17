// Game files are bytes in the system's ANSI code page; controls show Unicode.
// These two conversions are the only place where the two meet.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace gm::platform {

// Bytes of the ANSI code page (Windows: the active code page; elsewhere
// Windows-1252) to Unicode. Every byte maps to some character.
QString fromAnsi(std::string_view bytes);

// Unicode to ANSI bytes; characters the code page lacks become '?'.
// Callers that write typed text into a game file or use it as a file name
// check it with unholdableCharacters() first, so that nothing is changed
// behind the user's back.
std::string toAnsi(const QString& text);

// The code-page rule for typed text: the characters of `text` that the ANSI
// code page cannot hold, each once, in the order they first appear (a
// character outside the Basic Multilingual Plane stays whole). Empty when
// every character fits.
QString unholdableCharacters(const QString& text);

// The message that refuses such text, naming the characters:
//   <what> contains characters that the game's files cannot store: Ł ź. <advice>
// `what` begins the sentence ("The season name"). Shown with the
// exclamation icon and an OK button.
QString unholdableMessage(const QString& what, const QString& characters,
                          const QString& advice = QStringLiteral("Please input it without them."));

}  // namespace gm::platform
