#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from its SVG (needs rsvg-convert, from
# librsvg2-bin). Run after changing the SVG; the PNGs are kept in the repository so that a
# build needs no renderer.
set -euo pipefail
cd "$(dirname "$0")"
for s in 16 32 48 64 128 256; do
    mkdir -p "${s}x${s}"
    rsvg-convert -w "$s" -h "$s" org.orvello.Orvello.svg -o "${s}x${s}/org.orvello.Orvello.png"
done
