#!/bin/sh
# Renders the PNG sizes of the program icon from its SVG (needs rsvg-convert, package
# librsvg2-bin). The PNGs are kept in the repository, so a build does not need this.
set -eu
cd "$(dirname "$0")/../packaging/icons"
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" splinewave.svg -o "splinewave-$size.png"
done
