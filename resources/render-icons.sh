#!/bin/sh
# Renders the button icons from their SVG drawings (16x16.svg and 32x32.svg in each of the four
# folders, each drawn for its size) into the PNG set the host reads where it does not use SVG:
# 16x16.png, 16x16@2x.png, 32x32.png and 32x32@2x.png (the @2x ones for high-resolution
# screens, from the same drawing at twice the pixels), 8-bit RGBA, with rsvg-convert (Debian:
# librsvg2-bin). It records in icons.sha256 which drawings the PNGs were rendered from; the
# package test checks that against the SVGs, so a drawing changed without a new render fails.
# No theme variants: the white symbols on saturated plates read on every host theme.
set -eu
cd "$(dirname "$0")"
rsvg=${RSVG_CONVERT:-rsvg-convert}
stamp=icons.sha256
: >"$stamp.new"
for folder in Trelvik Trelvik/LessTen Eshop Eshop/LessTen; do
    for size in 16 32; do
        svg=$folder/${size}x${size}.svg
        "$rsvg" --width $size --height $size --format png "$svg" -o "$folder/${size}x${size}.png"
        "$rsvg" --width $((size * 2)) --height $((size * 2)) --format png "$svg" -o "$folder/${size}x${size}@2x.png"
        sha256sum "$svg" >>"$stamp.new"
    done
done
mv "$stamp.new" "$stamp"
echo "rendered $(find . -name '*.png' | wc -l) icons from $(wc -l <"$stamp") drawings"
