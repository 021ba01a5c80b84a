#!/bin/sh
# Runs the benchmarks of a build configured with -DKOLVANE_BENCH=ON (make bench does it)
# and prints their tables, with the machine they ran on.
# usage: tools/run-bench.sh BUILD_DIR [START_UP_RUNS]
set -e
build="${1:-build-bench}"
runs="${2:-10}"
bench="$build/bench"
for p in bench_startup bench_kolvane_startup bench_empty_window bench_session; do
    if [ ! -x "$bench/$p" ]; then
        echo "missing $bench/$p: configure with -DKOLVANE_BENCH=ON and build first (make bench)" >&2
        exit 1
    fi
done

export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="qt.qpa.*=false;default.warning=false"
export LC_ALL=C.UTF-8
# Qt wants a private runtime folder; without one it warns on every start.
if [ -z "$XDG_RUNTIME_DIR" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "Kolvane benchmark - $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "Machine: ${cpu:-unknown CPU}, $(nproc) cores, $(awk '/MemTotal/ {printf "%.1f GiB", $2/1048576}' /proc/meminfo) RAM, $(uname -sr)"
echo "Qt platform: offscreen; build: $(sed -n 's/^CMAKE_BUILD_TYPE:[^=]*=//p' "$build/CMakeCache.txt")"
echo

"$bench/bench_startup" "$bench/bench_kolvane_startup" "$bench/bench_empty_window" "$runs"
echo
"$bench/bench_session"
