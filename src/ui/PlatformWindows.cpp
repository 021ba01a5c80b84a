#include "ui/Platform.h"

#include "ui/RegistryConfigStore.h"

#include <QGuiApplication>
#include <QWidget>

#include <qt_windows.h>

#include <lmcons.h>

namespace kolvane::platform {

QString loginName()
{
    wchar_t name[UNLEN + 1];
    DWORD size = UNLEN + 1;
    if (!GetUserNameW(name, &size) || size == 0)
        return QString();
    return QString::fromWCharArray(name, qsizetype(size) - 1);  // size counts the terminator
}

std::unique_ptr<ConfigStore> machineConfigStore()
{
    return std::make_unique<RegistryConfigStore>();
}

std::optional<qint32> setTopMost(QWidget* window, bool onTop)
{
    // Only Qt's Windows platform has real window handles; offscreen ones are Qt's own.
    if (QGuiApplication::platformName() != QLatin1String("windows"))
        return std::nullopt;
    const HWND hwnd = reinterpret_cast<HWND>(window->winId());
    return SetWindowPos(hwnd, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE) ? 1 : 0;
}

}  // namespace kolvane::platform
