#pragma once

// Breaks the widget-free rule on purpose: the net's rules may not use widgets.
#include <QWidget>
