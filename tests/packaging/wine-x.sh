# Sourced by the Windows packaging checks: a virtual X server of their own for Wine's X11
# driver, and a way to tell whether a Windows program keeps running there.
xdir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$xdir/display" 2>"$xdir/xvfb.log" &
xpid=$!
i=0
while [ ! -s "$xdir/display" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done
[ -s "$xdir/display" ] || { echo "Xvfb did not start" >&2; cat "$xdir/xvfb.log" >&2; exit 1; }
DISPLAY=":$(cat "$xdir/display")"
export DISPLAY
stop_x() { kill $xpid 2>/dev/null; wait $xpid 2>/dev/null; rm -rf "$xdir"; }

# The program runs on Wine's own X11 driver here, not on the suites' offscreen platform.
unset WINEPATH WINEQT_QPA_PLATFORM

# keeps_running SECONDS LOG PROGRAM...: starts the program under Wine and succeeds when it is
# still running after SECONDS with its main window, captioned "Kolvane", on the display (a
# missing DLL ends it at once; a missing plugin leaves only Qt's error box), then ends it.
keeps_running() {
    seconds=$1 log=$2
    shift 2
    wine "$@" >"$log" 2>&1 &
    pid=$!
    sleep "$seconds"
    if ! kill -0 $pid 2>/dev/null; then
        echo "$* ended by itself:" >&2
        tail -n 40 "$log" >&2
        return 1
    fi
    if ! xwininfo -root -tree | grep -q '"Kolvane"'; then
        echo "$* shows no window captioned Kolvane:" >&2
        xwininfo -root -tree | grep '"' >&2
        kill $pid
        return 1
    fi
    kill $pid
    wait $pid 2>/dev/null || true
    return 0
}
