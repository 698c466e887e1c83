#!/usr/bin/env bash
# Draws the tool's icons (rsvg-convert) and bar bitmaps (ImageMagick). The PNGs are
# committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"

# Application icon: icons/app.svg (a camera body with a lens and a scan line across it),
# rendered at every size the window and the desktop's icon theme use.
for s in 16 24 32 48 64 128 256; do
  rsvg-convert -w $s -h $s icons/app.svg -o icons/app-${s}.png
done

# Bar bitmaps: 4 x 4 solid red (offline) and solid green (online).
convert -size 4x4 xc:'rgb(255,0,0)' -depth 8 PNG24:bitmaps/offline.png
convert -size 4x4 xc:'rgb(0,128,0)' -depth 8 PNG24:bitmaps/online.png
