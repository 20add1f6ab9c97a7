#!/usr/bin/env bash
# Draws the program's icon (32 x 32, 256-colour palette) and banner (400 x 100, 24 bits per
# pixel) into the folder given as $1: a starfield, a ship's silhouette and the program name.
# Run by the build, so the pictures are made from this script and never stored as binaries.
set -euo pipefail
out=$1
convert=${CONVERT:-convert}
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
mkdir -p "$out"

# Stars as draw primitives from a small linear congruential generator with a fixed seed, so
# that every build draws the same sky.
stars() {  # width height count
  awk -v w="$1" -v h="$2" -v n="$3" 'BEGIN {
    seed = 1138
    for (i = 0; i < n; i++) {
      seed = (seed * 1103515245 + 12345) % 2147483648; x = seed % w
      seed = (seed * 1103515245 + 12345) % 2147483648; y = seed % h
      seed = (seed * 1103515245 + 12345) % 2147483648; b = 110 + seed % 146
      printf "fill rgb(%d,%d,%d) point %d,%d ", b, b, b + (255 - b) / 2, x, y
      if (b > 240) printf "fill rgb(%d,%d,255) point %d,%d point %d,%d ", b/2, b/2, x + 1, y, x, y + 1
    }
  }'
}

# The ship: a wedge-shaped hull with its nose to the right, a bridge tower on its back and two
# engines glowing at the stern. Coordinates are scaled from a 60 x 28 drawing.
ship() {  # scale x y (x, y: the middle of the stern)
  awk -v s="$1" -v x="$2" -v y="$3" 'function p(dx, dy) { return sprintf("%d,%d ", x + dx*s, y + dy*s) }
  BEGIN {
    printf "fill #c8ccd6 stroke #6a7388 stroke-width %.1f ", s * 0.6
    printf "polygon %s%s%s%s", p(0, -11), p(60, 0), p(0, 11), p(4, 0)
    printf "fill #9aa3b8 polygon %s%s%s%s", p(8, -3), p(12, -11), p(22, -11), p(24, -3)
    printf "fill #7fd7ff stroke none circle %s%s", p(0, -6), p(-3, -6)
    printf "circle %s%s", p(0, 6), p(-3, 6)
  }'
}

# Banner.
"$convert" -size 400x100 gradient:'#0b1430-#000000' \
  -draw "$(stars 400 100 260)" -draw "$(ship 1.9 262 50)" \
  -font "$font" -pointsize 26 -fill '#f0e6b0' -stroke '#402000' -strokewidth 1 \
  -annotate +16+44 'Orvalan' \
  -pointsize 18 -fill '#d8dce8' -stroke none -annotate +18+72 'Ship Patcher' \
  -type TrueColor -depth 8 -alpha off BMP3:"$out/banner.bmp"

# Icon.
"$convert" -size 32x32 gradient:'#14224a-#000000' \
  -draw "$(stars 32 32 14)" -draw "$(ship 0.42 4 16)" \
  -alpha off -colors 256 -type Palette -depth 8 -define icon:auto-resize=32 "$out/orva.ico"
