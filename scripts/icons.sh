#!/usr/bin/env bash
# Redraws the PNG sizes of the icon from data/icons/kelvane.svg (rsvg-convert,
# from librsvg2-bin). The PNGs are kept in the repository so that building
# needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" kelvane.svg -o "kelvane-$size.png"
done
