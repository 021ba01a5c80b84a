#pragma once

// What must hold for any pair of files a start finds left in the recovery folder, a copy and
// its info, shared by the fuzz target and the corpus replay in the normal suite. An input
// is the info's bytes, then a NUL and the copy's bytes; without a NUL the copy is missing.
#include "files/RecoveryCopy.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

namespace kolvane {

// Empty when the property holds, otherwise what broke it.
inline QString recoveryCopyProperty(const QByteArray& input)
{
    // Views into the input, so the sanitizer sees a read past either file's end.
    const qsizetype nul = input.indexOf('\0');
    const QByteArray infoText = nul < 0 ? input : QByteArray::fromRawData(input.constData(), nul);
    std::optional<QByteArray> copy;
    if (nul >= 0)
        copy = QByteArray::fromRawData(input.constData() + nul + 1, input.size() - nul - 1);
    const std::optional<RecoveryInfo> info = parseRecoveryInfo(infoText);
    if (info && !(parseRecoveryInfo(recoveryInfoText(*info)) == info))
        return QStringLiteral("an info written again reads differently");

    const LeftCopyReading reading = readLeftCopy(infoText, copy);
    if (!copy)  // the info alone: tidied away when it is one, left alone otherwise
        return reading.verdict == (info ? LeftCopyReading::NothingToGiveBack : LeftCopyReading::NotOurs)
                   ? QString()
                   : QStringLiteral("an info without its copy is misjudged");
    if (info && info->saved)
        return reading.verdict == LeftCopyReading::NothingToGiveBack ? QString()
                                                                     : QStringLiteral("a net saved since is kept");
    // Offered only what the info vouches for byte for byte, and only as the reader reads it.
    const CopyCheck here{copy->size(), QCryptographicHash::hash(*copy, QCryptographicHash::Sha256).toHex()};
    const SessionReadResult read = readSessionFile(*copy);
    const bool whole = info && (info->copies.isEmpty() || info->copies.contains(here)) && read.ok();
    if ((reading.verdict == LeftCopyReading::Offer) != whole)
        return whole ? QStringLiteral("a whole copy was not offered") : QStringLiteral("a damaged copy was offered");
    if (!whole && reading.verdict != LeftCopyReading::Unreadable)
        return QStringLiteral("a damaged copy is not told");
    if (whole && reading.session != read.data)
        return QStringLiteral("the offered net is not the copy's");

    // The same copy with an info as this program writes it: offered when it is a net, never
    // once cut short.
    const QByteArray vouched =
        recoveryInfoText(vouchingFor({QString(), QDateTime::fromSecsSinceEpoch(0, Qt::UTC)}, *copy));
    if ((readLeftCopy(vouched, copy).verdict == LeftCopyReading::Offer) != read.ok())
        return QStringLiteral("a copy with its own info is not offered");
    if (!copy->isEmpty() && readLeftCopy(vouched, copy->left(copy->size() / 2)).verdict != LeftCopyReading::Unreadable)
        return QStringLiteral("a copy cut in half is not told");
    return QString();
}

}  // namespace kolvane
