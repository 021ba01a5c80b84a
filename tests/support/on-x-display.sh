#!/bin/sh
# Runs a program on a virtual X server of its own, bare or (with --wm) under openbox:
#   on-x-display.sh [--wm] PROGRAM [ARGS...]
# Exits with the program's status. Activation and focus on X depend on whether a window
# manager runs, so the suites that test them run both ways.
set -u
wm=""
if [ "${1:-}" = "--wm" ]; then
    wm=openbox
    shift
fi
dir=$(mktemp -d)
trap 'kill $wmpid $xpid 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"' EXIT
wmpid=""
# Xvfb picks a free display itself and writes its number, so suites may run side by side.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xpid=$!
i=0
while [ ! -s "$dir/display" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done
if [ ! -s "$dir/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
fi
DISPLAY=":$(cat "$dir/display")"
export DISPLAY
if [ -n "$wm" ]; then
    openbox --sm-disable >"$dir/wm.log" 2>&1 &
    wmpid=$!
    # The window manager is ready once it has announced itself on the root window.
    i=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
        [ $i -lt 200 ] || { echo "openbox did not start" >&2; cat "$dir/wm.log" >&2; exit 1; }
        sleep 0.05
        i=$((i + 1))
    done
fi
QT_QPA_PLATFORM=xcb "$@"
