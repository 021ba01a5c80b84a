#include "ui/AlwaysOnTop.h"

#include "ui/WindowLayer.h"

namespace kolvane {

qint32 SetTopMost(WindowLayer& layer, QWidget* window, qint32 onTop)
{
    if (onTop == kTrue)
        return layer.setTopMost(window, true);
    layer.setTopMost(window, false);
    return 0;
}

}  // namespace kolvane
