#!/bin/sh
# Starts the program; without a display it runs in a virtual X server so it can be seen
# with a screenshot tool.
set -e
prog="$1"
if [ -n "$DISPLAY" ] || [ -n "$WAYLAND_DISPLAY" ]; then
    exec "$prog"
fi
echo "No display: starting Kolvane under Xvfb (xvfb-run)."
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$prog"
