#!/usr/bin/env bash
# Renders the icon's PNGs for the hicolor theme from the SVG beside this script (needs
# rsvg-convert from librsvg2-bin). Run it after changing the SVG and commit the PNGs with it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
name=org.example.vantrel.Vantrel
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$here/hicolor/${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" "$here/$name.svg" \
        --output "$here/hicolor/${size}x${size}/apps/$name.png"
done
