#!/bin/sh
# The portable zip: unpacked afresh, with nothing on Wine's DLL search path, its
# kolvane.exe starts on Wine's X11 driver and keeps running, and loads from the folder
# exactly the DLLs the zip holds: none missing, none shipped for nothing.
#   usage: check-windows-zip.sh ZIP   (WINEPREFIX set; run by CTest)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
zip=$1
[ -f "$zip" ] || { echo "$zip is missing: make windows packs it" >&2; exit 1; }
. "$here/wine-x.sh"
dir=$(mktemp -d)
trap 'stop_x; rm -rf "$dir"' EXIT
(cd "$dir" && cmake -E tar xf "$zip")
top=$(ls "$dir")
[ -f "$dir/$top/kolvane.exe" ] || { echo "no kolvane.exe at the top of the zip's folder" >&2; exit 1; }

export WINEDEBUG=+loaddll
keeps_running 10 "$dir/run.log" "$dir/$top/kolvane.exe"

# Wine writes 'Loaded L"Z:\\tmp\\...\\Qt6Core.dll" at ...: native' for each DLL it loads.
sed -n 's/.*Loaded L"\([^"]*\)".*native.*/\1/p' "$dir/run.log" | sed 's|\\\\|/|g' | sort -u >"$dir/loaded"
(cd "$dir/$top" && find . -iname '*.dll' | sed 's|^\./||' | sort) >"$dir/shipped"
status=0
while read -r dll; do
    grep -qi "/$top/$dll\$" "$dir/loaded" || { echo "shipped but never loaded: $dll" >&2; status=1; }
done <"$dir/shipped"
# Everything else must come with Windows.
if grep -vi '^C:/windows/' "$dir/loaded" | grep -vi "/$top/" >&2; then
    echo "loaded from outside the folder and Windows (above)" >&2
    status=1
fi
[ $status -eq 0 ] && echo "$(wc -l <"$dir/shipped") DLLs shipped, all loaded; nothing from elsewhere"
exit $status
