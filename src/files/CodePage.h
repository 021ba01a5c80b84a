#pragma once

#include <QByteArray>
#include <QString>

namespace kolvane {

// The code page of a session file. The other station's copy of the program reads and
// writes the system's ANSI code page, Windows-1252 on a western system; text that does not
// fit it is written as UTF-8 (no byte-order mark) instead of being lost. Windows1252 names
// that ANSI code page: Windows-1252 itself on Linux, the system's own (GetACP) on Windows.
enum class CodePage { Windows1252, Utf8 };

// True when the bytes are well-formed UTF-8 as a whole (an empty array is).
bool isValidUtf8(const QByteArray& bytes);

// The code page the text is written in: Windows-1252 when every character fits it and the
// bytes come back as the same text on reading, UTF-8 otherwise. A Windows-1252 text whose
// bytes happen to form valid UTF-8 ("Ã©" gives C3 A9, which is UTF-8 for "é") would be
// misread, so it is written as UTF-8 too.
CodePage codePageFor(const QString& text);

// The text encoded in the code page chosen by codePageFor(). `used` receives that choice.
QByteArray encodeSessionText(const QString& text, CodePage* used = nullptr);

// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is dropped), otherwise
// Windows-1252. `used` receives the code page that was read.
QString decodeSessionText(const QByteArray& bytes, CodePage* used = nullptr);

// The same text, encoded or decoded in the named code page, whatever it holds.
QByteArray encodeAs(CodePage page, const QString& text);
QString decodeAs(CodePage page, const QByteArray& bytes);

}  // namespace kolvane
