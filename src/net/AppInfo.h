#pragma once

#include <QString>

namespace kolvane {

// The application title: main window caption, splash product name and the caption of
// every message box that names no other.
inline QString appTitle()
{
    return QStringLiteral("Kolvane");
}

constexpr int kVersionMajor = KOLVANE_VERSION_MAJOR;
constexpr int kVersionMinor = KOLVANE_VERSION_MINOR;
constexpr int kVersionRevision = KOLVANE_VERSION_PATCH;

// "1.0.0": each part as a plain decimal number.
inline QString versionText()
{
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

}  // namespace kolvane
