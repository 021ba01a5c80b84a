// Start-up benchmark driver: starts Kolvane, an empty main window and a main window with
// one label in turn, each run measured from just before the process is spawned to the
// first finished frame of its main window (reported by the child on the same monotonic
// clock), and prints the medians and Kolvane's ratios to the two yardsticks.
//
// usage: bench_startup KOLVANE_PROGRAM EMPTY_WINDOW_PROGRAM [RUNS]

#include "BenchSupport.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

using kolvane::bench::median;
using kolvane::bench::monotonicNs;

struct Run {
    bool ok = false;
    double ms = 0.0;
    long rssKb = -1;
};

// One start of `program` (with one optional argument); gives up after 20 s.
Run startOnce(const char* program, const char* arg = nullptr)
{
    Run run;
    int out[2];
    if (pipe(out) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    // Qt's start-up chatter would bury the table.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(arg), nullptr};

    pid_t pid = 0;
    const qint64 t0 = monotonicNs();
    const int rc = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", program, std::strerror(rc));
        close(out[0]);
        return run;
    }

    std::string text;
    const qint64 deadline = t0 + qint64(20) * 1000000000;
    for (;;) {
        const qint64 left = (deadline - monotonicNs()) / 1000000;
        if (left <= 0)
            break;
        pollfd p{out[0], POLLIN, 0};
        const int n = poll(&p, 1, int(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        char buf[256];
        const ssize_t got = read(out[0], buf, sizeof buf);
        if (got <= 0)
            break;
        text.append(buf, size_t(got));
    }
    close(out[0]);
    kill(pid, SIGKILL);  // already gone after a report; a hung child ends here
    int status = 0;
    waitpid(pid, &status, 0);

    long long frameNs = 0;
    long rss = -1;
    const size_t at = text.find("first_frame_ns=");
    if (at != std::string::npos
        && std::sscanf(text.c_str() + at, "first_frame_ns=%lld rss_kb=%ld", &frameNs, &rss) >= 1) {
        run.ok = true;
        run.ms = double(frameNs - t0) / 1e6;
        run.rssKb = rss;
    } else {
        std::fprintf(stderr, "%s did not report its first frame\n", program);
    }
    return run;
}

struct Series {
    std::vector<double> ms;
    std::vector<double> rssMb;
};

void printRow(const char* name, const Series& s)
{
    const auto [lo, hi] = std::minmax_element(s.ms.begin(), s.ms.end());
    std::printf("  %-24s %9.1f %9.1f %9.1f %17.1f\n", name, median(s.ms), *lo, *hi, median(s.rssMb));
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s KOLVANE_PROGRAM EMPTY_WINDOW_PROGRAM [RUNS]\n", argv[0]);
        return 2;
    }
    const char* kolvane = argv[1];
    const char* empty = argv[2];
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;

    // One unmeasured start of each, so both find the libraries in the page cache.
    struct Contender {
        const char* name;
        const char* program;
        const char* arg;
        Series series;
    };
    Contender contenders[] = {{"empty QMainWindow", empty, nullptr, {}},
                              {"QMainWindow + 1 label", empty, "--label", {}},
                              {"Kolvane", kolvane, nullptr, {}}};
    const int count = int(std::size(contenders));
    for (const Contender& c : contenders) {
        if (!startOnce(c.program, c.arg).ok)
            return 1;
    }
    for (int i = 0; i < runs; ++i) {
        // Rotate who goes first, so no one always follows the same program.
        for (int j = 0; j < count; ++j) {
            Contender& c = contenders[(i + j) % count];
            const Run r = startOnce(c.program, c.arg);
            if (!r.ok)
                return 1;
            c.series.ms.push_back(r.ms);
            c.series.rssMb.push_back(r.rssKb / 1024.0);
        }
    }

    const double emptyMs = median(contenders[0].series.ms);
    const double labelMs = median(contenders[1].series.ms);
    const double kolvaneMs = median(contenders[2].series.ms);
    const double ratio = kolvaneMs / labelMs;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("Start-up on %s: process start to the main window's first finished frame (%d runs each)\n",
                platform && *platform ? platform : "the default platform", runs);
    std::printf("  %-24s %9s %9s %9s %17s\n", "program", "median ms", "min ms", "max ms", "RSS at frame MiB");
    for (const Contender& c : contenders)
        printRow(c.name, c.series);
    std::printf("  %-24s %9.2f   (the empty window loads no fonts)\n", "ratio Kolvane / empty", kolvaneMs / emptyMs);
    std::printf("  %-24s %9.2f   target <= 1.15  %s\n", "ratio Kolvane / 1 label", ratio,
                ratio <= 1.15 ? "met" : "MISSED");
    return 0;
}
