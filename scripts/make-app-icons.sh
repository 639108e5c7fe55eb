#!/usr/bin/env bash
# Renders the program's icon, data/icons/hicolor/scalable/apps/quillora.svg, into the PNG
# sizes of the hicolor theme beside it. Run it after changing the SVG; the PNG files are
# kept in the repository, so building never needs this. Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons/hicolor"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" scalable/apps/quillora.svg -o "${size}x${size}/apps/quillora.png"
done
