#pragma once

#include "ui/WindowLayer.h"

#include <QMargins>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

class QWidget;

// What the window layer needs of the operating system beyond Qt. One source file per
// system implements it: PlatformWindows.cpp with the Win32 API, PlatformPosix.cpp elsewhere.
namespace kolvane::platform {

// The login name of the user running the program, or "" when the system has none.
QString loginName();

// The machine-wide configuration store: the registry on Windows; elsewhere a store in which
// every key is missing.
std::unique_ptr<ConfigStore> machineConfigStore();

// Puts a shown top-level window into or out of the topmost band with the system's own call
// and returns its answer (non-zero when taken); nothing where Qt's window flag does it.
std::optional<qint32> setTopMost(QWidget* window, bool onTop);

// The whole frame of a shown top-level window as the system draws it, where Qt leaves part
// of it out (Qt on Windows 10 takes the resize borders for invisible ones); nothing where
// Qt's frame geometry is the whole frame.
std::optional<QMargins> frameMargins(QWidget* window);

}  // namespace kolvane::platform
