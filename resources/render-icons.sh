#!/bin/sh
# Renders the button icons into the four icon folders with ImageMagick (Debian: imagemagick).
# Drawn at 256x256 and scaled down, so every size shows the same picture. The "LessTen" sets
# (used during the first ten starts) carry an orange "new" star badge. Dark variants are the
# same pictures on a lighter plate, for highlighted buttons. Output: 8-bit RGBA PNGs.
set -eu
cd "$(dirname "$0")"
convert=${CONVERT:-/usr/bin/convert}

# Guide: an open book on a blue plate.
guide_plate="#1f6fb2"
guide_plate_dark="#4a94d4"
guide_symbol="fill white stroke white stroke-width 6
  polygon 40,84 124,100 124,206 40,190
  polygon 216,84 132,100 132,206 216,190
  stroke #1f6fb2 stroke-width 5 fill none
  line 58,118 108,128 line 58,146 108,156 line 148,128 198,118 line 148,156 198,146"

# E-shop: a shopping cart on a green plate.
shop_plate="#2e8b3d"
shop_plate_dark="#4fb35f"
shop_symbol="fill none stroke white stroke-width 16 stroke-linecap round stroke-linejoin round
  polyline 34,62 70,62 98,162 198,162 218,92 80,92
  stroke-width 0 fill white
  circle 108,196 108,214 circle 186,196 186,214"

# The "new" badge: an orange star in the upper right corner.
badge="fill #ff8c00 stroke white stroke-width 8
  polygon 196,8 210,44 248,46 218,70 228,108 196,86 164,108 174,70 144,46 182,44"

render() { # folder plate symbol badge suffix
    folder=$1 plate=$2 symbol=$3 extra=$4 suffix=$5
    mkdir -p "$folder"
    work=$(mktemp --suffix=.png)
    "$convert" -size 256x256 xc:none -fill "$plate" -draw "roundrectangle 8,8 247,247 40,40" \
        -draw "$symbol" ${extra:+-draw "$extra"} "$work"
    for size in 16 32 64; do
        "$convert" "$work" -filter Lanczos -resize "${size}x${size}" -strip \
            -depth 8 -define png:exclude-chunks=date,time "PNG32:$folder/${size}x${size}${suffix}.png"
    done
    rm -f "$work"
}

render Trelvik "$guide_plate" "$guide_symbol" "" ""
render Trelvik "$guide_plate_dark" "$guide_symbol" "" "-dark"
render Trelvik/LessTen "$guide_plate" "$guide_symbol" "$badge" ""
render Trelvik/LessTen "$guide_plate_dark" "$guide_symbol" "$badge" "-dark"
render Eshop "$shop_plate" "$shop_symbol" "" ""
render Eshop "$shop_plate_dark" "$shop_symbol" "" "-dark"
render Eshop/LessTen "$shop_plate" "$shop_symbol" "$badge" ""
render Eshop/LessTen "$shop_plate_dark" "$shop_symbol" "$badge" "-dark"
echo "rendered $(find . -name '*.png' | wc -l) icons"
