#!/usr/bin/env bash
# Re-draws the program's pictures (icon, hand cursor, banner) with ImageMagick.
# The results are committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
font_plain=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# Icon: two arrows passing each other on a teal tile.
convert -size 128x128 xc:none \
    -fill '#0f6e7a' -draw 'roundrectangle 6,6 121,121 22,22' \
    -fill '#15a3b3' -draw 'roundrectangle 10,10 117,64 18,18' \
    -fill white -draw 'polygon 22,44 84,44 84,30 108,52 84,74 84,60 22,60' \
    -fill '#ffd166' -draw 'polygon 106,84 44,84 44,70 20,92 44,114 44,100 106,100' \
    icon128.png
for s in 32 24 16; do convert icon128.png -resize ${s}x${s} icon$s.png; done

# Pointing hand, 32x32, index finger up with its tip at (5,0).
convert -size 32x32 xc:none -stroke black -strokewidth 1 -fill white \
    -draw 'polygon 3,2 5,0 7,2 7,12 9,11 11,11 12,12 14,11 16,11 17,12 19,12 21,14 21,22 19,27 17,30 7,30 5,27 1,20 0,16 1,15 3,16 3,2' \
    -stroke black -draw 'line 11,12 11,17' -draw 'line 16,12 16,17' \
    hand.png

# Banner, 609x86: an advertisement for Skylark Notes, a note-taking program of our own.
convert -size 609x86 gradient:'#1b3b6f'-'#2d7dd2' \
    -fill '#ffffff22' -draw 'circle 560,10 610,60' -draw 'circle 500,95 540,130' \
    -fill '#f9c74f' -draw 'polygon 22,20 52,12 60,42 30,50' \
    -fill '#1b3b6f' -draw 'line 30,24 52,18' -draw 'line 32,32 54,26' -draw 'line 34,40 50,35' \
    -font "$font" -pointsize 28 -fill white -annotate +78+42 'Skylark Notes 3' \
    -font "$font_plain" -pointsize 14 -fill '#e0ecff' \
    -annotate +80+66 'Every note, sketch and link in one notebook.' \
    -font "$font" -pointsize 13 -fill '#f9c74f' -annotate +480+40 'Free 30-day trial' \
    banner.png
