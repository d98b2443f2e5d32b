#!/usr/bin/env bash
# Renders the PNG sizes of the hicolor theme from the SVG icons beside this script. The PNGs
# are checked in, so building needs no renderer; run this after changing an SVG.
set -euo pipefail
cd "$(dirname "$0")"
command -v convert >/dev/null || { echo "needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }
for svg in *.svg; do
  name=${svg%.svg}
  for size in 16 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    # Drawn at twice the size, then scaled down: smoother edges than drawing at the size.
    convert -background none -density $((96 * size / 64 * 2)) "$svg" -resize "${size}x${size}" \
      -strip "PNG32:hicolor/${size}x${size}/apps/$name.png"
  done
done
