#!/bin/sh
# Regenerates background-logo.png, the faint picture under the plot: pale
# ridges with a flight's altitude trace (quick climb, coast to the top, slow
# descent) drawn over them. Kept light so grid, labels and data stay readable
# on top. Needs ImageMagick and awk. The trace is drawn as separate
# segments: a polyline comes out closed.
set -e
cd "$(dirname "$0")"
trace=$(awk 'BEGIN {
    for (i = 0; i <= 200; i++) {
        t = i / 200
        if (t < 0.12) a = (t / 0.12) ^ 1.6 * 0.55
        else if (t < 0.30) { u = (t - 0.12) / 0.18; a = 0.55 + 0.45 * (1 - (1 - u) ^ 2) }
        else a = 1 - (t - 0.30) / 0.70 * 0.97
        x = int(60 + t * 880); y = int(640 - a * 500)
        if (i > 0) printf "line %d,%d %d,%d ", px, py, x, y
        px = x; py = y
    }
}')
convert -size 994x694 xc:'#ffffff' \
  -fill '#f1f5fa' -draw "polygon 0,694 0,470 90,420 170,455 280,330 360,385 470,250 560,330 640,290 760,400 860,350 994,430 994,694" \
  -fill '#e9eff7' -draw "polygon 0,694 0,560 130,500 230,540 340,450 430,500 540,420 650,490 760,455 880,520 994,490 994,694" \
  -fill '#e2eaf4' -draw "polygon 0,694 0,630 160,590 300,625 420,575 560,610 700,570 840,620 994,600 994,694" \
  -fill none -stroke '#e0e8f3' -strokewidth 6 -draw "stroke-linecap round $trace" \
  -stroke none -fill '#eef3f9' -font DejaVu-Sans-Bold -pointsize 120 \
  -gravity northeast -annotate +40+30 'VEXA' \
  +dither -colors 256 -strip PNG8:background-logo.png
