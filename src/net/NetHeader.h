#pragma once

#include <QString>
#include <optional>

namespace kolvane {

// The texts of the net header as they stand in the net panel.
struct NetHeader {
    QString start;
    QString stop;
    QString frequency;
    QString mode;
    QString cntrlCall;
    QString cntrlHandle;
    QString cntrlQTH;
    QString comments;  // lines joined with CR LF

    bool operator==(const NetHeader& o) const
    {
        return start == o.start && stop == o.stop && frequency == o.frequency && mode == o.mode
               && cntrlCall == o.cntrlCall && cntrlHandle == o.cntrlHandle && cntrlQTH == o.cntrlQTH
               && comments == o.comments;
    }
    bool operator!=(const NetHeader& o) const { return !(*this == o); }
};

// The station that takes over as Net Control.
struct NetControlStation {
    QString callsign;
    QString handle;
    QString qth;
};

// The fields a save or a transfer needs, in the order they are checked.
enum class HeaderField { Start, Frequency, Mode, CntrlCall, CntrlHandle, CntrlQTH };

// The first field whose text is exactly empty, or nothing when the header is complete.
// Blanks count as filled; Stop and the comments are never required.
std::optional<HeaderField> firstMissingHeaderField(const NetHeader& header);

// What the operator is told when the field is missing.
QString missingFieldMessage(HeaderField field);

// The status line's resting text; a complete header leaves exactly this.
inline QString statusIdle()
{
    return QStringLiteral("Status: Idle");
}

}  // namespace kolvane
