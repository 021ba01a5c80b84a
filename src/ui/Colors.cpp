#include "ui/Colors.h"

#include "net/Colors.h"

#include <QApplication>
#include <QPalette>

namespace kolvane {

QColor toQColor(quint32 c)
{
    if (bgr::isSystemColor(c)) {
        const QPalette pal = QApplication::palette();
        switch (bgr::systemColorIndex(c)) {
        case 8:  // window text
            return pal.color(QPalette::Active, QPalette::WindowText);
        case 11:  // inactive border: the light grey of an inactive window frame
            return pal.color(QPalette::Inactive, QPalette::Window);
        case 12:  // application workspace behind the child windows
            return pal.color(QPalette::Active, QPalette::Dark);
        case 5:  // window background
            return pal.color(QPalette::Active, QPalette::Base);
        case 15:  // button face
            return pal.color(QPalette::Active, QPalette::Button);
        default:
            return pal.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(bgr::red(c), bgr::green(c), bgr::blue(c));
}

}  // namespace kolvane
