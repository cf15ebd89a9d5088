#!/bin/sh
# Writes the BMP pictures of the bitmap loader tests into the current directory, each with
# a PPM of the colours its pixels show as ImageMagick reads the file back. Uncompressed
# palette pictures with 40-byte, 12-byte and 124-byte headers, 8 and 4 bits, odd widths,
# and one picture with the default (RLE8) compression.
set -eu
plasma() {  # plasma SIZE SEED COLOURS FORMAT FILE [OPTIONS]
  size=$1 seed=$2 colours=$3 format=$4 file=$5
  shift 5
  convert -size "$size" -seed "$seed" plasma:fractal -colors "$colours" -type Palette "$@" \
    "$format:$file.bmp"
  convert "$file.bmp" -depth 8 "PPM:$file.ppm"
}
plasma 37x23 7 200 BMP3 p8 -compress None
plasma 41x30 5 256 BMP3 full -compress None
plasma 9x7 3 16 BMP3 p4 -compress None
plasma 37x23 7 200 BMP2 core
plasma 37x23 7 200 BMP v5 -compress None
plasma 200x150 11 200 BMP3 wide -compress None
convert -size 37x23 -seed 7 plasma:fractal -colors 200 -type Palette BMP3:rle.bmp
