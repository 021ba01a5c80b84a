#!/bin/sh
# Builds the Windows icon (program, installer and uninstaller) from the rendered PNGs
# (render-png.sh). The .ico is committed like the PNGs; run this after rendering them.
# Needs ImageMagick (Debian package imagemagick).
set -e
cd "$(dirname "$0")"
d=hicolor
convert $d/16x16/apps/org.kolvane.Kolvane.png $d/32x32/apps/org.kolvane.Kolvane.png \
    $d/48x48/apps/org.kolvane.Kolvane.png $d/64x64/apps/org.kolvane.Kolvane.png \
    $d/256x256/apps/org.kolvane.Kolvane.png kolvane.ico
