#!/bin/sh
# The setup program, silently (/S) as an administrator deploys it: it installs into Program
# Files with a Start-menu shortcut and an Apps & features entry (name, version, publisher,
# icon, uninstaller), the installed program starts and keeps running, and the silent
# uninstall takes away every file and registry entry the setup made.
#   usage: check-windows-setup.sh SETUP.exe VERSION   (WINEPREFIX set; run by CTest alone)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
setup=$1 version=$2
[ -f "$setup" ] || { echo "$setup is missing: make windows packs it" >&2; exit 1; }
. "$here/wine-x.sh"
dir=$(mktemp -d)
trap 'stop_x; rm -rf "$dir"' EXIT
c="$WINEPREFIX/drive_c"
inst="$c/Program Files/Kolvane"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kolvane'
fail() { echo "$*" >&2; exit 1; }
# The files of the prefix outside the folders Wine and the setup keep scratch files in, and
# outside the program's own folder of recovery copies: the operator's data, which no
# uninstaller should take (the program is ended here, so it leaves its lock there).
files() {
    (cd "$c" && find . -path './users/*/Temp' -prune -o -path './windows' -prune \
        -o -path './users/*/AppData/Local/Kolvane' -prune -o -type f -print | sort)
}

files >"$dir/before"
wine "$setup" /S
wineserver -w

[ -f "$inst/kolvane.exe" ] || fail "kolvane.exe not in Program Files\\Kolvane"
[ -f "$inst/Uninstall.exe" ] || fail "no uninstaller"
[ -f "$inst/platforms/qwindows.dll" ] || fail "no Windows platform plugin"
lnk=$(find "$c" -ipath '*/Start Menu/Programs/Kolvane/Kolvane.lnk' | head -n 1)
[ -n "$lnk" ] || fail "no Start-menu shortcut"
# One value of the Apps & features entry, as reg prints it: "    Name    REG_SZ    text".
value() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
[ "$(value DisplayName)" = Kolvane ] || fail "Apps & features: name is '$(value DisplayName)'"
[ "$(value DisplayVersion)" = "$version" ] || fail "Apps & features: version is '$(value DisplayVersion)'"
[ "$(value Publisher)" = "Kolvane developers" ] || fail "Apps & features: publisher is '$(value Publisher)'"
case "$(value DisplayIcon)" in *'\Kolvane\kolvane.exe') ;; *) fail "Apps & features: icon is '$(value DisplayIcon)'" ;; esac
case "$(value UninstallString)" in *'\Kolvane\Uninstall.exe'*) ;; *) fail "Apps & features: uninstaller is '$(value UninstallString)'" ;; esac
echo "installed: $(find "$inst" -type f | wc -l) files, shortcut $lnk"

keeps_running 10 "$dir/run.log" "C:\\Program Files\\Kolvane\\kolvane.exe"
echo "the installed program starts"

wine "C:\\Program Files\\Kolvane\\Uninstall.exe" /S
# The uninstaller runs a copy of itself from the temporary folder and returns at once.
wineserver -w
[ ! -e "$inst" ] || fail "left behind in Program Files: $(cd "$inst" && find . | head)"
[ -z "$(find "$c" -ipath '*/Start Menu/Programs/Kolvane*')" ] || fail "the Start-menu folder stays"
if wine reg query "$key" >/dev/null 2>&1; then fail "the Apps & features entry stays"; fi
files >"$dir/after"
diff "$dir/before" "$dir/after" >&2 || fail "the uninstall left files the setup made (above)"
echo "the uninstall left nothing behind"
