#pragma once

// Small helpers shared by the benchmark programs: the monotonic clock, the resident set
// size, medians, and the detector of a main window's first paint.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QMainWindow>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace kolvane::bench {

// Nanoseconds on CLOCK_MONOTONIC: the same clock in every process of the machine, so a
// parent can compare its own reading with one taken inside the child.
inline qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// VmRSS of this process in KiB, or -1 when /proc cannot tell.
inline long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// Headless by default: a benchmark started by hand without a display still runs.
inline void preferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Watches every event of the application; at the first paint of a visible main window
// it prints the monotonic time and the resident size on stdout and ends the process at
// once. The start-up driver reads that line.
class FirstPaintReporter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            QWidget* window = static_cast<QWidget*>(watched)->window();
            if (qobject_cast<QMainWindow*>(window) && window->isVisible()) {
                const qint64 now = monotonicNs();
                std::printf("first_paint_ns=%lld rss_kb=%ld\n", static_cast<long long>(now), residentKb());
                std::fflush(stdout);
                _exit(0);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace kolvane::bench
