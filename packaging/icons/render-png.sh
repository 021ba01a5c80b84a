#!/bin/sh
# Renders the PNG sizes of the application icon from its SVG. The PNGs are committed, so
# a build never needs a converter; run this after changing the drawing.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -e
cd "$(dirname "$0")"
name=org.kolvane.Kolvane
for size in 16 32 48 64 128 256; do
    dir="hicolor/${size}x${size}/apps"
    mkdir -p "$dir"
    rsvg-convert --width "$size" --height "$size" --format png "$name.svg" --output "$dir/$name.png"
done
