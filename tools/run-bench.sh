#!/bin/sh
# Runs the benchmarks of a build configured with -DKOLVANE_BENCH=ON (make bench does it)
# and prints their tables, with the machine they ran on.
#   - start-up to the main window's first finished frame, on a virtual X server (Xvfb) and
#     offscreen, against an empty Qt window and a one-label window measured in the same run;
#   - the session commands at 10, 25, 50 and 100 stations, resident memory, the ID timer,
#     the keys of the roll (Ctrl+Tab, Ctrl+T) at 100 stations;
#   - the recovery copy, and the regulars' roster (a keystroke's suggestions at 10,000
#     stations, what learning adds to Save, Open and restore at 100);
#   - instruction counts of all of them under callgrind, where valgrind is installed.
# usage: tools/run-bench.sh BUILD_DIR [START_UP_RUNS]
set -e
build="${1:-build-bench}"
runs="${2:-15}"
bench="$build/bench"
for p in bench_startup bench_kolvane_startup bench_empty_window bench_session; do
    if [ ! -x "$bench/$p" ]; then
        echo "missing $bench/$p: configure with -DKOLVANE_BENCH=ON and build first (make bench)" >&2
        exit 1
    fi
done

export QT_LOGGING_RULES="qt.qpa.*=false;default.warning=false"
export LC_ALL=C.UTF-8
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
# Qt wants a private runtime folder; without one it warns on every start.
if [ -z "$XDG_RUNTIME_DIR" ]; then
    XDG_RUNTIME_DIR="$work/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR
fi

# A virtual X server of our own, on a display number it picks itself.
x_display=""
if command -v Xvfb >/dev/null 2>&1; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] && x_display=":$(cat "$work/display")"
fi

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "Kolvane benchmark - $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "Machine: ${cpu:-unknown CPU}, $(nproc) cores, $(awk '/MemTotal/ {printf "%.1f GiB", $2/1048576}' /proc/meminfo) RAM, $(uname -sr), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Build: $(sed -n 's/^CMAKE_BUILD_TYPE:[^=]*=//p' "$build/CMakeCache.txt"), Qt $(dpkg-query -W -f='${Version}' libqt6widgets6 2>/dev/null || echo '(version unknown)')"
echo

if [ -n "$x_display" ]; then
    DISPLAY="$x_display" QT_QPA_PLATFORM=xcb "$bench/bench_startup" "$bench/bench_kolvane_startup" "$bench/bench_empty_window" "$runs"
else
    echo "Start-up on X: skipped, Xvfb is not installed"
fi
echo
QT_QPA_PLATFORM=offscreen "$bench/bench_startup" "$bench/bench_kolvane_startup" "$bench/bench_empty_window" "$runs"
echo

# The session commands on real windows: on the X server when there is one.
if [ -n "$x_display" ]; then
    echo "Session on xcb (Xvfb)"
    DISPLAY="$x_display" QT_QPA_PLATFORM=xcb "$bench/bench_session"
else
    echo "Session offscreen"
    QT_QPA_PLATFORM=offscreen "$bench/bench_session"
fi

# What keeping the recovery copy costs, on the same display.
echo
if [ -n "$x_display" ]; then
    DISPLAY="$x_display" QT_QPA_PLATFORM=xcb "$bench/bench_session" --recovery
else
    QT_QPA_PLATFORM=offscreen "$bench/bench_session" --recovery
fi

# What the regulars' roster costs, on the same display.
echo
if [ -n "$x_display" ]; then
    DISPLAY="$x_display" QT_QPA_PLATFORM=xcb "$bench/bench_session" --roster
else
    QT_QPA_PLATFORM=offscreen "$bench/bench_session" --roster
fi

if ! command -v valgrind >/dev/null 2>&1; then
    echo
    echo "Instruction counts: skipped, valgrind is not installed"
    exit 0
fi

# Instructions under callgrind, offscreen so the counts do not depend on an X server.
echo
echo "Instructions (callgrind, offscreen; millions)"
echo "  start-up to the main window's first finished frame"
for prog in "bench_empty_window" "bench_empty_window --label" "bench_kolvane_startup"; do
    # shellcheck disable=SC2086
    QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --callgrind-out-file="$work/startup.out" \
        "$bench"/$prog >/dev/null 2>&1 || true
    ir=$(sed -n 's/^summary: //p' "$work/startup.out" 2>/dev/null | head -n 1)
    printf '%s %s\n' "$prog" "${ir:-0}" >>"$work/startup.txt"
done
awk '{ name = $1; if ($2 == "--label") { name = "QMainWindow + 1 label"; ir = $3 } else { ir = $2 }
       if (name == "bench_empty_window") name = "empty QMainWindow"
       if (name == "bench_kolvane_startup") name = "Kolvane"
       v[NR] = ir; n[NR] = name }
     END { for (i = 1; i <= NR; i++) printf "    %-24s %9.1f\n", n[i], v[i] / 1e6
           if (v[2] > 0) printf "    %-24s %9.2f\n", "ratio Kolvane / 1 label", v[3] / v[2]
           if (v[1] > 0) printf "    %-24s %9.2f\n", "ratio Kolvane / empty", v[3] / v[1] }' "$work/startup.txt"

QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$work/cg.out" \
    "$bench/bench_session" --instructions >/dev/null 2>"$work/session.err" || {
    echo "  the session run under callgrind failed:"
    tail -n 5 "$work/session.err"
    exit 1
}
for f in "$work"/cg.out.*; do
    label=$(sed -n 's/^desc: Trigger: Client Request: //p' "$f" | head -n 1)
    ir=$(sed -n 's/^summary: //p' "$f" | head -n 1)
    [ -n "$label" ] && echo "$label $ir"
done >"$work/session.txt"
echo "  session commands, each until its windows are created or gone and drawn"
awk 'BEGIN { split("open sort+tile save clear-all new", order, " ")
             names["open"] = "Open (with tiling)"; names["sort+tile"] = "Sort + Tile"; names["save"] = "Save"
             names["clear-all"] = "Clear All"; names["new"] = "New Session"
             printf "    %-22s %9s %9s %9s %9s   %s\n", "stations", "10", "25", "50", "100", "100/50" }
     { ir[$1, $2] = $3 }
     END { for (i = 1; i <= 5; i++) { c = order[i]; printf "    %-22s", names[c]
               for (s = 1; s <= 4; s++) { n = (s == 1 ? 10 : s == 2 ? 25 : s == 3 ? 50 : 100); printf " %9.1f", ir[c, n] / 1e6 }
               r = ir[c, 50] > 0 ? ir[c, 100] / ir[c, 50] : 0
               printf "   x%.2f%s\n", r, (c == "save" ? "" : (r <= 2.2 ? "  (<= 2.2: met)" : "  (<= 2.2: MISSED)")) } }' "$work/session.txt"
# The roll's keys: ten of each, one dump per key.
awk '$1 == "ctrl+tab" || $1 == "ctrl+t" { sum[$1] += $3; n[$1]++ }
     END { if (!n["ctrl+tab"] || !n["ctrl+t"]) { print "  keys of the roll: not counted"; exit }
           print "  keys of the roll at 100 stations, each until drawn (mean of " n["ctrl+tab"] " keys)"
           printf "    %-36s %9.2f\n", "Ctrl+Tab (the next window in front)", sum["ctrl+tab"] / n["ctrl+tab"] / 1e6
           printf "    %-36s %9.2f\n", "Ctrl+T (the turn passed to it)", sum["ctrl+t"] / n["ctrl+t"] / 1e6 }' "$work/session.txt"

# The roster: only the operator's thread is counted (thread 1); the roster's own thread, which
# reads, merges and writes the file, is left out.
QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --collect-atstart=no --separate-threads=yes \
    --callgrind-out-file="$work/roster.out" "$bench/bench_session" --roster --instructions >/dev/null \
    2>"$work/roster.err" || {
    echo "  the roster run under callgrind failed:"
    tail -n 5 "$work/roster.err"
    exit 1
}
for f in "$work"/roster.out.*-01; do
    label=$(sed -n 's/^desc: Trigger: Client Request: //p' "$f" | head -n 1)
    ir=$(sed -n 's/^summary: //p' "$f" | head -n 1)
    [ -n "$label" ] && echo "$label $ir"
done >"$work/roster.txt"
echo "  the regulars' roster, on the operator's thread"
awk '{ ir[$1] = $NF; n[$1] = $2 }
     END { if (n["suggest"] > 0)
               printf "    %-40s %9.0f instructions  (10,000 stations, %d typed texts)\n",
                      "suggestions for one keystroke", ir["suggest"] / n["suggest"], n["suggest"]
           printf "    %-32s %10s %10s %8s\n", "at 100 stations", "learning", "without", "added"
           split("save open restore", order, " ")
           names["save"] = "Save"; names["open"] = "Open (with tiling)"; names["restore"] = "restore"
           for (i = 1; i <= 3; i++) { c = order[i]; on = ir[c "-learning"]; off = ir[c "-plain"]
               added = (off > 0) ? 100 * (on / off - 1) : 0
               printf "    %-32s %10.2f %10.2f %+7.1f%%  %s\n", names[c], on / 1e6, off / 1e6, added,
                      ((off > 0 && added <= 5) ? "(<= 5%: met)" : "(<= 5%: MISSED)") } }' \
    "$work/roster.txt"
