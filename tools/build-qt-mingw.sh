#!/bin/sh
# Builds Qt's base module (Core, Gui, Widgets, PrintSupport, Test) for 64-bit Windows with
# MinGW-w64 from Debian's own qt6-base source, once, and prints the install folder on its
# last line. Later calls find the finished build and print its folder at once.
#   usage: tools/build-qt-mingw.sh [PREFIX]
# PREFIX defaults to a cache outside the tree, so a clean clone or `make clean` keeps it.
# The host's Qt 6.4.2 tools (moc, rcc, uic) do the generating, so the versions must agree:
# Debian 12 ships 6.4.2 for both. About an hour on two cores.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
version=6.4.2
prefix=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/kolvane/qt6-mingw-$version}
# Written last, so a build cut short is never taken for a finished one.
stamp="$prefix/.kolvane-complete"
if [ -f "$stamp" ]; then
    echo "$prefix"
    exit 0
fi

"$here/ensure-deps.sh" cmake ninja-build g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools \
    dpkg-dev xz-utils perl
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

work="$prefix.work"
mkdir -p "$work"
# Two builds at once (make windows in two trees) would share the folder: the second waits.
exec 9>"$prefix.lock"
flock 9
if [ -f "$stamp" ]; then
    echo "$prefix"
    exit 0
fi
cd "$work"
if ! ls qt6-base_$version*.orig.tar.xz >/dev/null 2>&1; then
    # apt-get source needs the source lists; a fresh Debian has only the binary ones.
    if ! apt-get source --download-only qt6-base >/dev/null 2>&1; then
        if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
            echo "Adding Debian's source lists beside the binary ones"
            if [ -f /etc/apt/sources.list.d/debian.sources ]; then
                sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
                    $SUDO tee /etc/apt/sources.list.d/kolvane-deb-src.sources >/dev/null
            else
                sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
                    $SUDO tee /etc/apt/sources.list.d/kolvane-deb-src.list >/dev/null
            fi
        fi
        $SUDO apt-get update
        apt-get source --download-only qt6-base
    fi
fi
tarball=$(ls qt6-base_$version*.orig.tar.xz | head -n 1)
src="$work/qtbase-everywhere-src-$version"
[ -d "$src" ] || tar xf "$tarball"

# What the program does not use is left out; what 6.4.2 cannot build from Debian's source:
# - tabletevent: Debian's source leaves out the bundled wintab.h the Windows plugin includes;
# - opengl stays on: without it the Windows platform plugin does not compile in 6.4.2.
cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_system_zlib=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_opengl=ON
ninja -C "$work/build"
ninja -C "$work/build" install
# Debugging symbols would make the DLLs shipped beside the program five times larger.
find "$prefix/bin" "$prefix/plugins" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
touch "$stamp"
cd /
rm -rf "$work"
echo "$prefix"
