#!/usr/bin/env bash
# Renders the PNG sizes of the hicolor theme from the SVG icons beside this script, and the
# Windows programs' .ico from them (icoutils). The PNGs and icons are checked in, so building
# needs no renderer; run this after changing an SVG.
set -euo pipefail
cd "$(dirname "$0")"
command -v convert >/dev/null || { echo "needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }
command -v icotool >/dev/null || { echo "needs icoutils (apt-get install icoutils)" >&2; exit 1; }
for svg in *.svg; do
  name=${svg%.svg}
  for size in 16 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    # Drawn at twice the size, then scaled down: smoother edges than drawing at the size.
    convert -background none -density $((96 * size / 64 * 2)) "$svg" -resize "${size}x${size}" \
      -strip "PNG32:hicolor/${size}x${size}/apps/$name.png"
  done
  # Small sizes as bitmaps for every Windows; 256 as PNG, as Windows Vista and later read it.
  icotool -c -o "$name.ico" $(for size in 16 24 32 48 64; do echo "hicolor/${size}x${size}/apps/$name.png"; done) \
    -r "hicolor/256x256/apps/$name.png"
done
