#!/usr/bin/env bash
# Draws the tool's icons and bar bitmaps with ImageMagick. The PNGs are committed; run
# this only to change them.
set -euo pipefail
cd "$(dirname "$0")"

# Application icon: a camera body with a lens and a scan line across it.
convert -size 256x256 xc:none \
  -fill '#1f3f6e' -draw 'roundrectangle 8,8 247,247 44,44' \
  -fill '#2f5f9e' -draw 'roundrectangle 8,8 247,128 44,44' -draw 'rectangle 8,90 247,128' \
  -fill '#e8eef6' -draw 'roundrectangle 40,70 216,196 18,18' \
  -fill '#1f3f6e' -draw 'circle 128,133 128,83' \
  -fill '#6f9fd8' -draw 'circle 128,133 128,101' \
  -fill '#0d1f38' -draw 'circle 128,133 128,115' \
  -fill '#ffffff' -draw 'circle 116,121 116,114' \
  -fill '#e8eef6' -draw 'rectangle 64,52 112,72' \
  -fill '#39d353' -draw 'rectangle 24,212 232,222' \
  icons/app-256.png
for s in 16 24 32 48 64 128; do
  convert icons/app-256.png -filter Lanczos -resize ${s}x${s} icons/app-${s}.png
done

# Bar bitmaps: 4 x 4 solid red (offline) and solid green (online).
convert -size 4x4 xc:'rgb(255,0,0)' -depth 8 PNG24:bitmaps/offline.png
convert -size 4x4 xc:'rgb(0,128,0)' -depth 8 PNG24:bitmaps/online.png
