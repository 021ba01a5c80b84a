#include "files/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace kolvane {

namespace {

// Qt reaches Windows-1252 through ICU; QStringConverter does not list the name, but the
// converter opens. Stateless: a half sequence at the end is an error, not held back.
const char* const kWindows1252 = "windows-1252";

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
    QStringEncoder encoder(kWindows1252, QStringEncoder::Flag::Stateless);
    if (!encoder.isValid())
        return text.toLatin1();  // only if ICU were missing: the nearest built-in table
    return encoder.encode(text);
}

QString decodeAs(CodePage page, const QByteArray& bytes)
{
    if (page == CodePage::Utf8) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return decoder.decode(bytes);
    }
    QStringDecoder decoder(kWindows1252, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

namespace {

// The Windows-1252 bytes of the text when they are safe to write, or nothing.
std::optional<QByteArray> windows1252Bytes(const QString& text)
{
    QStringEncoder encoder(kWindows1252, QStringEncoder::Flag::Stateless);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    if (allAscii(bytes))
        return bytes;
    // The reader must get exactly this text back: not through a substitute character,
    // and not by taking the bytes for UTF-8.
    if (isValidUtf8(bytes) || decodeAs(CodePage::Windows1252, bytes) != text)
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
