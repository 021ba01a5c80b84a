#pragma once

#include <QString>

namespace kolvane {

// Participant windows numbered 1 to this; the next one is refused until the registry resets.
constexpr int kParticipantLimit = 100;

inline QString participantLimitMessage()
{
    return QStringLiteral("Participant limit exceeded");
}

// "Participant 7". The caption is the only place a window's number is kept.
QString participantCaption(int number);

// The number in a participant caption: the text from the 13th character on, leading blanks
// ignored, the decimal digits found there; 0 when there are none.
int participantNumberFromCaption(const QString& caption);

}  // namespace kolvane
