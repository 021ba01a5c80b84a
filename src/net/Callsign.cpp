#include "net/Callsign.h"

namespace kolvane {

QString upperCallsign(const QString& text)
{
    // Not the user's language rules: in a Turkish locale "i" would become a dotted capital
    // I, which is no callsign letter and does not fit the other station's code page.
    return text.toUpper();
}

}  // namespace kolvane
