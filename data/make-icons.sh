#!/usr/bin/env bash
# Renders the PNG sizes of the program's icon from its SVG. The PNGs are committed, so
# only a change of the drawing needs this again (rsvg-convert: Debian's librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/icons"

name=com.korvell.Brellow
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" "$name.svg" --output "$name-$size.png"
done
