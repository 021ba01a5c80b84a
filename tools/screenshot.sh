#!/bin/sh
# Starts a program under Xvfb, waits, and saves a screenshot of the whole screen.
# usage: tools/screenshot.sh OUT.png SECONDS PROGRAM [ARGS...]
set -e
"$(dirname "$0")/ensure-deps.sh" xvfb xauth imagemagick
out="$1"; wait="$2"; shift 2
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c "\"\$@\" & pid=\$!; sleep $wait; import -window root \"$out\"; kill \$pid" sh "$@"
