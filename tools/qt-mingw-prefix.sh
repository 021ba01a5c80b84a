#!/bin/sh
# Prints the folder of a Qt 6.4.2 for MinGW (Windows, x86_64) to build against, the first of:
#   1. $QT_MINGW_PREFIX, when set;
#   2. the cache that tools/build-qt-mingw.sh fills, once its build has finished;
#   3. ../shared/qt6-mingw-6.4.2 beside the repository, a build made the same way.
# With --build, builds the cache when none is there (about an hour); without it, exits 1
# printing nothing.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/kolvane/qt6-mingw-6.4.2

usable() {
    [ -f "$1/lib/cmake/Qt6/Qt6Config.cmake" ] && [ -f "$1/bin/Qt6Core.dll" ]
}

if [ -n "${QT_MINGW_PREFIX:-}" ]; then
    if ! usable "$QT_MINGW_PREFIX"; then
        echo "QT_MINGW_PREFIX=$QT_MINGW_PREFIX holds no Qt for MinGW" >&2
        exit 1
    fi
    (cd "$QT_MINGW_PREFIX" && pwd)
elif [ -f "$cache/.kolvane-complete" ] && usable "$cache"; then
    echo "$cache"
elif usable "$here/../../shared/qt6-mingw-6.4.2"; then
    (cd "$here/../../shared/qt6-mingw-6.4.2" && pwd)
elif [ "${1:-}" = "--build" ]; then
    echo "No Qt for MinGW yet: building it into $cache (about an hour, once)" >&2
    # Its progress goes to the terminal; only the folder goes to the caller.
    "$here/build-qt-mingw.sh" "$cache" >&2
    echo "$cache"
else
    exit 1
fi
