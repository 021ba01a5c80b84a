#pragma once

#include "ui/AlwaysOnTop.h"

#include <QTest>

namespace kolvane::test {

// SetTopMost's flags: only the exact truth value puts a window into the topmost band;
// anything else takes it out. Columns: flag, onTop, result.
inline void addTopMostRows()
{
    QTest::addColumn<qint32>("flag");
    QTest::addColumn<bool>("onTop");
    QTest::addColumn<qint32>("result");
    QTest::newRow("true") << kTrue << true << qint32(1);
    QTest::newRow("zero") << qint32(0) << false << qint32(0);
    QTest::newRow("one is not true") << qint32(1) << false << qint32(0);
}

}  // namespace kolvane::test
