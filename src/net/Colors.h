#pragma once

#include <QtGlobal>

// Colours as the program thinks of them: 0x00BBGGRR values, where 0x800000nn names the
// system colour nn. Only ui/Colors.cpp turns them into toolkit colours.
namespace kolvane::bgr {

constexpr quint32 Black = 0x00000000;
constexpr quint32 White = 0x00FFFFFF;
constexpr quint32 Red = 0x000000FF;
constexpr quint32 Yellow = 0x0000FFFF;
constexpr quint32 Orange = 0x000080FF;     // station talking; ID reminder blink
constexpr quint32 LightCyan = 0x00FFFFC0;  // station active
constexpr quint32 Slate = 0x00615743;      // station inactive
constexpr quint32 Silver = 0x00C0C0C0;
constexpr quint32 Grey = 0x00808080;
constexpr quint32 DarkGrey = 0x00404040;

constexpr quint32 SysWindowText = 0x80000008;
constexpr quint32 SysInactiveBorder = 0x8000000B;
constexpr quint32 SysAppWorkspace = 0x8000000C;

constexpr bool isSystemColor(quint32 c)
{
    return (c & 0x80000000u) != 0;
}
constexpr int systemColorIndex(quint32 c)
{
    return int(c & 0xFFu);
}
constexpr int red(quint32 c)
{
    return int(c & 0xFFu);
}
constexpr int green(quint32 c)
{
    return int((c >> 8) & 0xFFu);
}
constexpr int blue(quint32 c)
{
    return int((c >> 16) & 0xFFu);
}

}  // namespace kolvane::bgr
