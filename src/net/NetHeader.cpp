#include "net/NetHeader.h"

namespace kolvane {

std::optional<HeaderField> firstMissingHeaderField(const NetHeader& h)
{
    if (h.start.isEmpty())
        return HeaderField::Start;
    if (h.frequency.isEmpty())
        return HeaderField::Frequency;
    if (h.mode.isEmpty())
        return HeaderField::Mode;
    if (h.cntrlCall.isEmpty())
        return HeaderField::CntrlCall;
    if (h.cntrlHandle.isEmpty())
        return HeaderField::CntrlHandle;
    if (h.cntrlQTH.isEmpty())
        return HeaderField::CntrlQTH;
    return std::nullopt;
}

QString missingFieldMessage(HeaderField field)
{
    switch (field) {
    case HeaderField::Start:
        return QStringLiteral("Please enter Net's start time");
    case HeaderField::Frequency:
        return QStringLiteral("Please enter Net's Frequency");
    case HeaderField::Mode:
        return QStringLiteral("Please select the Net's Mode (SSB, FM, etc) or type in your own");
    case HeaderField::CntrlCall:
        return QStringLiteral("Please enter current Net Control Callsign");
    case HeaderField::CntrlHandle:
        return QStringLiteral("Please enter current Net Control Handle");
    case HeaderField::CntrlQTH:
        return QStringLiteral("Please enter current Net Control QTH");
    }
    return QString();
}

}  // namespace kolvane
