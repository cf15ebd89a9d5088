#!/bin/sh
# Writes splash pictures as ImageMagick saves them into the current directory, for the
# medium checker's tests: it picks 1 bit for two colours and 4 bits for up to 16, and RLE8
# compression unless told otherwise.
set -eu
plasma() {  # plasma SIZE COLOURS FILE [OPTIONS]
  size=$1 colours=$2 file=$3
  shift 3
  convert -size "$size" -seed 3 plasma:fractal -colors "$colours" -type Palette "$@" "BMP3:$file.bmp"
}
plasma 480x280 200 sound -compress None
plasma 480x280 2 two_colours -compress None
plasma 481x280 16 sixteen_odd -compress None
plasma 480x280 16 sixteen -compress None
plasma 480x280 200 rle
plasma 480x280 256 full -compress None
