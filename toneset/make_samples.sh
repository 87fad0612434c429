#!/bin/sh
# make_samples.sh OUTDIR
# The sample pictures the tone dialogs show when there is no prescan, made
# from the photographs built into ImageMagick (Debian package imagemagick,
# ImageMagick License): FLOWER.BMP, the rose, in colour; GIRL.BMP, the
# wizard, in 256 grey levels. Both uncompressed BMP files.
set -e
out=$1
mkdir -p "$out"
convert rose: -filter Lanczos -resize 400% -unsharp 0x1 -type TrueColor -compress None BMP3:"$out/FLOWER.BMP"
convert wizard: -resize 50% -colorspace Gray -type Palette -depth 8 -colors 256 -compress None BMP3:"$out/GIRL.BMP"
