#include "files/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace kolvane {

namespace {

#ifdef Q_OS_WIN

// Windows: the system's ANSI code page (GetACP), Windows-1252 on a western system, through
// the system's own tables; Qt for Windows is built without the ICU its names would need.

// The text in the ANSI code page; `lost` tells whether a character had no byte sequence
// there and became the page's default character.
QByteArray ansiEncode(const QString& text, bool* lost)
{
    *lost = false;
    if (text.isEmpty())
        return QByteArray();
    const UINT page = GetACP();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int length = int(text.size());
    // Without a best fit, a character missing from the page (A with a macron) becomes the
    // default character and is reported, rather than turning silently into a look-alike.
    // UTF-8 as the system's page takes neither the flag nor the report.
    const bool utf8 = page == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* report = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(page, flags, wide, length, nullptr, 0, nullptr, report);
    if (size <= 0) {
        *lost = true;  // text that is not UTF-16 at all, for a UTF-8 page
        return text.toLatin1();
    }
    QByteArray bytes(size, Qt::Uninitialized);
    WideCharToMultiByte(page, flags, wide, length, bytes.data(), size, nullptr, report);
    *lost = usedDefault;
    return bytes;
}

QString ansiText(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return QString();
    const UINT page = GetACP();
    const int length = int(bytes.size());
    const int size = MultiByteToWideChar(page, 0, bytes.constData(), length, nullptr, 0);
    if (size <= 0)
        return QString::fromLatin1(bytes);
    QString text(size, Qt::Uninitialized);
    MultiByteToWideChar(page, 0, bytes.constData(), length, reinterpret_cast<wchar_t*>(text.data()), size);
    return text;
}

#else

// Qt reaches Windows-1252 through ICU; QStringConverter does not list the name, but the
// converter opens. Stateless: a half sequence at the end is an error, not held back.
const char* const kWindows1252 = "windows-1252";

QByteArray ansiEncode(const QString& text, bool* lost)
{
    QStringEncoder encoder(kWindows1252, QStringEncoder::Flag::Stateless);
    if (!encoder.isValid()) {
        *lost = true;
        return text.toLatin1();  // only if ICU were missing: the nearest built-in table
    }
    QByteArray bytes = encoder.encode(text);
    *lost = encoder.hasError();
    return bytes;
}

QString ansiText(const QByteArray& bytes)
{
    QStringDecoder decoder(kWindows1252, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);  // only if ICU were missing: the nearest built-in table
    return decoder.decode(bytes);
}

#endif

// The text in the ANSI code page, or nothing when a character does not fit it.
std::optional<QByteArray> ansiBytes(const QString& text)
{
    bool lost = false;
    QByteArray bytes = ansiEncode(text, &lost);
    if (lost)
        return std::nullopt;
    return bytes;
}

bool allAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

}  // namespace

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    Q_UNUSED(ignored);
    return !decoder.hasError();
}

QByteArray encodeAs(CodePage page, const QString& text)
{
    if (page == CodePage::Utf8) {
        QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
        return encoder.encode(text);
    }
    bool lost = false;
    return ansiEncode(text, &lost);
}

QString decodeAs(CodePage page, const QByteArray& bytes)
{
    if (page == CodePage::Utf8) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return decoder.decode(bytes);
    }
    return ansiText(bytes);
}

namespace {

// The Windows-1252 bytes of the text when they are safe to write, or nothing.
std::optional<QByteArray> windows1252Bytes(const QString& text)
{
    std::optional<QByteArray> bytes = ansiBytes(text);
    if (!bytes)
        return std::nullopt;
    if (allAscii(*bytes))
        return bytes;
    // The reader must get exactly this text back: not through a substitute character,
    // and not by taking the bytes for UTF-8.
    if (isValidUtf8(*bytes) || decodeAs(CodePage::Windows1252, *bytes) != text)
        return std::nullopt;
    return bytes;
}

}  // namespace

CodePage codePageFor(const QString& text)
{
    return windows1252Bytes(text) ? CodePage::Windows1252 : CodePage::Utf8;
}

QByteArray encodeSessionText(const QString& text, CodePage* used)
{
    if (std::optional<QByteArray> bytes = windows1252Bytes(text)) {
        if (used)
            *used = CodePage::Windows1252;
        return *bytes;
    }
    if (used)
        *used = CodePage::Utf8;
    return encodeAs(CodePage::Utf8, text);
}

QString decodeSessionText(const QByteArray& bytes, CodePage* used)
{
    const CodePage page = isValidUtf8(bytes) ? CodePage::Utf8 : CodePage::Windows1252;
    if (used)
        *used = page;
    return decodeAs(page, bytes);
}

}  // namespace kolvane
