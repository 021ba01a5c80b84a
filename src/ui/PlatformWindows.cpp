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

std::optional<QMargins> frameMargins(QWidget* window)
{
    // A window not yet created has no frame to ask for; creating it here would be early.
    if (QGuiApplication::platformName() != QLatin1String("windows") || !window->testAttribute(Qt::WA_WState_Created))
        return std::nullopt;
    const HWND hwnd = reinterpret_cast<HWND>(window->winId());
    RECT outer;
    RECT client;
    POINT origin{0, 0};
    if (!GetWindowRect(hwnd, &outer) || !GetClientRect(hwnd, &client) || !ClientToScreen(hwnd, &origin))
        return std::nullopt;
    // The system counts in device pixels, Qt's geometry in its own.
    const qreal scale = window->devicePixelRatioF();
    const auto qtPixels = [scale](LONG v) { return qRound(qreal(v) / scale); };
    return QMargins(qtPixels(origin.x - outer.left), qtPixels(origin.y - outer.top),
                    qtPixels(outer.right - (origin.x + client.right)),
                    qtPixels(outer.bottom - (origin.y + client.bottom)));
}

}  // namespace kolvane::platform
