#!/usr/bin/env bash
# Draws the modem icon (48x48, 32x32 and 16x16, 16 colours) with ImageMagick and puts the
# three into kestrelix.ico for the Windows program. The PNGs and the .ico are committed;
# run this again only to change the picture.
set -euo pipefail
cd "$(dirname "$0")"

# The large picture on a 32-pixel grid, drawn at size $1 scaled by $2; further options
# (such as +antialias) go before the drawing.
draw_large() {
    local size=$1 scale=$2 out=$3
    shift 3
    convert -size "${size}x${size}" xc:none "$@" -affine "$scale,0,0,$scale,0,0" \
        -fill '#404850' -draw 'rectangle 22,2 24,14' \
        -fill '#202830' -draw 'roundrectangle 20,1 26,4 1,1' \
        -fill '#203a60' -draw 'roundrectangle 2,13 29,28 3,3' \
        -fill '#3a6aa8' -draw 'roundrectangle 3,14 28,20 2,2' \
        -fill '#c8d4e0' -draw 'rectangle 4,22 27,26' \
        -fill '#20c040' -draw 'rectangle 6,23 8,25' \
        -fill '#f0c020' -draw 'rectangle 11,23 13,25' \
        -fill '#e03020' -draw 'rectangle 16,23 18,25' \
        -fill '#606c78' -draw 'rectangle 21,23 26,25' \
        -fill '#101820' -draw 'rectangle 4,29 7,30' -draw 'rectangle 24,29 27,30' \
        -colors 16 "PNG8:$out"
}

draw_large 32 1 modem-32.png
# Smoothed edges at one and a half times the grid would blend the small lamps away once
# the picture is cut down to 16 colours.
draw_large 48 1.5 modem-48.png +antialias

convert -size 16x16 xc:none \
    -fill '#404850' -draw 'rectangle 11,1 12,7' \
    -fill '#203a60' -draw 'roundrectangle 1,7 14,14 1,1' \
    -fill '#3a6aa8' -draw 'rectangle 2,8 13,10' \
    -fill '#c8d4e0' -draw 'rectangle 2,11 13,13' \
    -fill '#20c040' -draw 'point 3,12' -draw 'point 4,12' \
    -fill '#f0c020' -draw 'point 6,12' -draw 'point 7,12' \
    -fill '#e03020' -draw 'point 9,12' -draw 'point 10,12' \
    -colors 16 PNG8:modem-16.png

convert modem-16.png modem-32.png modem-48.png kestrelix.ico
