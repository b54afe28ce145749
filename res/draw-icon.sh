#!/usr/bin/env bash
# Draws the modem icon (48x48, 32x32 and 16x16, 16 colours) with ImageMagick. The PNGs are
# committed; run this again only to change the picture.
set -euo pipefail
cd "$(dirname "$0")"

convert -size 48x48 xc:none +antialias \
    -fill '#404850' -draw 'rectangle 33,3 36,21' \
    -fill '#202830' -draw 'roundrectangle 30,1 39,6 2,2' \
    -fill '#203a60' -draw 'roundrectangle 3,19 44,42 4,4' \
    -fill '#3a6aa8' -draw 'roundrectangle 4,21 43,30 3,3' \
    -fill '#c8d4e0' -draw 'rectangle 6,33 41,39' \
    -fill '#20c040' -draw 'rectangle 9,34 13,38' \
    -fill '#f0c020' -draw 'rectangle 16,34 20,38' \
    -fill '#e03020' -draw 'rectangle 23,34 27,38' \
    -fill '#606c78' -draw 'rectangle 31,34 39,38' \
    -fill '#101820' -draw 'rectangle 6,43 11,45' -draw 'rectangle 36,43 41,45' \
    -colors 16 PNG8:modem-48.png

convert -size 32x32 xc:none \
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
    -colors 16 PNG8:modem-32.png

convert -size 16x16 xc:none \
    -fill '#404850' -draw 'rectangle 11,1 12,7' \
    -fill '#203a60' -draw 'roundrectangle 1,7 14,14 1,1' \
    -fill '#3a6aa8' -draw 'rectangle 2,8 13,10' \
    -fill '#c8d4e0' -draw 'rectangle 2,11 13,13' \
    -fill '#20c040' -draw 'point 3,12' -draw 'point 4,12' \
    -fill '#f0c020' -draw 'point 6,12' -draw 'point 7,12' \
    -fill '#e03020' -draw 'point 9,12' -draw 'point 10,12' \
    -colors 16 PNG8:modem-16.png
