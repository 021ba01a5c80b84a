#include "net/Callsign.h"

#include <QLocale>

namespace kolvane {

QString upperCallsign(const QString& text)
{
    return QLocale().toUpper(text);
}

}  // namespace kolvane
