#pragma once

// Small helpers shared by the benchmark programs: the monotonic clock, the resident set
// size, medians, instruction counting under callgrind, and the detector of a main
// window's first finished frame.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMainWindow>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <dlfcn.h>
#include <unistd.h>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define KOLVANE_BENCH_CALLGRIND 1
#else
#define KOLVANE_BENCH_CALLGRIND 0
#endif

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

// ---------------------------------------------------------------- instruction counts

// Under callgrind started with --collect-atstart=no, only what runs between begin() and
// end() is counted, and end() writes it to a dump named by `label`. Outside callgrind
// both do nothing.
inline bool underCallgrind()
{
#if KOLVANE_BENCH_CALLGRIND
    return RUNNING_ON_VALGRIND;
#else
    return false;
#endif
}
inline void countBegin()
{
#if KOLVANE_BENCH_CALLGRIND
    CALLGRIND_TOGGLE_COLLECT;
#endif
}
inline void countEnd(const char* label)
{
#if KOLVANE_BENCH_CALLGRIND
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(label);
#else
    (void)label;
#endif
}

// ---------------------------------------------------------------- the first frame

// Waits until the X server has handled every request sent so far (a round trip on Qt's
// own connection), so pixels pushed by a flush are on the server's screen. Does nothing
// on platforms without an X connection.
inline void syncWithDisplayServer()
{
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    // libxcb is already loaded by the platform plugin; its two calls are looked up there
    // so the benchmark needs no X development files.
    struct Cookie {
        unsigned int sequence;
    };
    using Request = Cookie (*)(xcb_connection_t*);
    using Reply = void* (*)(xcb_connection_t*, Cookie, void**);
    static void* lib = dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (!lib)
        return;
    static auto request = reinterpret_cast<Request>(dlsym(lib, "xcb_get_input_focus"));
    static auto reply = reinterpret_cast<Reply>(dlsym(lib, "xcb_get_input_focus_reply"));
    if (request && reply)
        free(reply(x11->connection(), request(x11->connection()), nullptr));
#endif
}

// The application of the start-up benchmarks. When an expose or an update request has
// made the main window paint (the main window itself or anything in it), its frame is
// finished once that event's handling returns: Qt paints every dirty widget and flushes
// the backing store within it. Then, after a round trip to the display server, it prints
// the monotonic time and the resident size on stdout and ends the process at once. The
// start-up driver reads that line.
class FirstFrameApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Paint && receiver->isWidgetType()) {
            QWidget* window = static_cast<QWidget*>(receiver)->window();
            if (qobject_cast<QMainWindow*>(window) && window->isVisible())
                ++m_mainPaints;
        }
        const bool frame = type == QEvent::Expose || type == QEvent::UpdateRequest;
        const int before = m_mainPaints;
        const bool result = QApplication::notify(receiver, event);
        if (frame && m_mainPaints > before) {
            syncWithDisplayServer();
            const qint64 now = monotonicNs();
            std::printf("first_frame_ns=%lld rss_kb=%ld\n", static_cast<long long>(now), residentKb());
            std::fflush(stdout);
            _exit(0);
        }
        return result;
    }

private:
    int m_mainPaints = 0;
};

}  // namespace kolvane::bench
