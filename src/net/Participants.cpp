#include "net/Participants.h"

namespace kolvane {

QString participantCaption(int number)
{
    return QStringLiteral("Participant ") + QString::number(number);
}

int participantNumberFromCaption(const QString& caption)
{
    const QString rest = caption.mid(12);
    int i = 0;
    while (i < rest.size() && (rest[i] == u' ' || rest[i] == u'\t'))
        ++i;
    qint64 value = 0;
    for (; i < rest.size() && rest[i].isDigit() && rest[i].unicode() < 128; ++i) {
        value = value * 10 + (rest[i].unicode() - '0');
        if (value > 1000000)
            return 0;  // no window carries such a number
    }
    return int(value);
}

}  // namespace kolvane
