#!/bin/bash
# twacquire's PNG, JPEG, PDF and multi-page TIFF files as real readers see
# them: pngcheck, djpeg, ImageMagick's identify and compare, tiffinfo,
# poppler's pdfinfo, pdftoppm and pdftocairo, and qpdf. Runs twacquire under
# Wine (the environment of ctest gives the prefix) against the installed
# data source and the virtual scanner, whose WIN.INI section it sets for
# the feeder scenes and restores at the end.
#   formats_test.sh TWACQUIRE_EXE WORK_FOLDER
set -u
exe=$1
work=$2
wine=/usr/lib/wine/wine64
winini=$WINEPREFIX/drive_c/windows/win.ini
failures=0

rm -rf "$work"
mkdir -p "$work"
cp "$winini" "$work/win.ini.saved"
trap 'cp "$work/win.ini.saved" "$winini"; rm -rf "$work"' EXIT

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# scanner KEY=VALUE...: the virtual scanner's section is exactly these keys.
scanner() {
  awk 'BEGIN { skip = 0 } /^\[/ { skip = ($0 ~ /^\[VirtualScanner\]/) } !skip' \
    "$work/win.ini.saved" >"$winini"
  printf '[VirtualScanner]\r\n' >>"$winini"
  for kv in "$@"; do printf '%s\r\n' "$kv" >>"$winini"; done
}

# run NAME ARGS...: scans into $work/NAME; the exit status is in $status.
run() {
  local name=$1; shift
  "$wine" "$exe" -q -o "Z:${work//\//\\}\\$name" "$@" >"$work/$name.out" 2>"$work/$name.err"
  status=$?
}

# twacquire NAME ARGS...: a scan that must succeed and leave the file.
twacquire() {
  local name=$1
  run "$@"
  [ $status = 0 ] || { fail "twacquire $*: exit $status: $(cat "$work/$name.err")"; return 1; }
  [ -f "$work/$name" ] || { fail "twacquire $*: no file"; return 1; }
}

expect() {  # what, got, expected
  [ "$2" = "$3" ] || fail "$1: '$2', not '$3'"
}

same_pixels() {  # file, file
  local differing
  differing=$(compare -metric AE "$1" "$2" null: 2>&1)
  [ "$differing" = 0 ] || fail "$(basename "$1") and $(basename "$2") differ in $differing pixels"
}

# A lossy copy of the same picture: the root mean square error of its
# samples under 4 % of the range.
close_pixels() {  # file, file
  local rmse
  rmse=$(compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p')
  awk -v e="$rmse" 'BEGIN { exit !(e != "" && e < 0.04) }' ||
    fail "$(basename "$1") and $(basename "$2") are not the same picture (RMSE '$rmse')"
}

pdf_checks() {  # file, pages, page size in points
  local f=$work/$1
  expect "$1: pages" "$(pdfinfo "$f" 2>&1 | sed -n 's/^Pages: *//p')" "$2"
  local sizes
  sizes=$(pdfinfo -f 1 -l "$2" "$f" 2>&1 | sed -n 's/^Page *[0-9]* size: *\([^(]*pts\).*/\1/p' | sort -u)
  expect "$1: page sizes" "$sizes" "$3"
  qpdf --check "$f" >"$work/qpdf.out" 2>&1 || fail "$1: qpdf --check: $(cat "$work/qpdf.out")"
  pdftoppm -r 100 -f "$2" -l "$2" "$f" "$work/rendered" 2>"$work/pdftoppm.err" && [ ! -s "$work/pdftoppm.err" ] ||
    fail "$1: pdftoppm: $(cat "$work/pdftoppm.err")"
}

echo "== every mode as PNG, JPEG and PDF, against the BMP of the same scan"
area=(--resolution 200 --frame 1,1.6,2,2.8)  # 200 x 240 pixels: 72 x 86.4 points
for mode in color gray lineart; do
  twacquire "$mode.bmp" --mode "$mode" "${area[@]}" || continue
  bmp=$work/$mode.bmp
  if twacquire "$mode.png" --mode "$mode" "${area[@]}"; then
    pngcheck -v "$work/$mode.png" >"$work/pngcheck.out" 2>&1 || fail "$mode.png: $(cat "$work/pngcheck.out")"
    grep -q "(200 dpi)" "$work/pngcheck.out" || fail "$mode.png: no pHYs of 200 dpi: $(cat "$work/pngcheck.out")"
    case $mode in color) kind="24-bit RGB" ;; gray) kind="8-bit grayscale" ;; lineart) kind="1-bit grayscale" ;; esac
    grep -q "200 x 240 image, $kind" "$work/pngcheck.out" || fail "$mode.png is not $kind: $(cat "$work/pngcheck.out")"
    same_pixels "$bmp" "$work/$mode.png"
  fi
  if twacquire "$mode.jpg" --mode "$mode" "${area[@]}"; then
    djpeg -verbose "$work/$mode.jpg" 2>"$work/djpeg.err" >"$work/$mode.pnm" || fail "$mode.jpg: djpeg: $(cat "$work/djpeg.err")"
    grep -q "density 200x200  1" "$work/djpeg.err" || fail "$mode.jpg: no JFIF density of 200 dpi"
    [ $mode = color ] && space=sRGB || space=Gray
    expect "$mode.jpg" "$(identify -format '%w x %h %[colorspace] %x %U' "$work/$mode.jpg")" "200 x 240 $space 200 PixelsPerInch"
    close_pixels "$bmp" "$work/$mode.jpg"
  fi
  if twacquire "$mode.pdf" --mode "$mode" "${area[@]}"; then
    pdf_checks "$mode.pdf" 1 "72 x 86.4 pts"
    expect "$mode.pdf rendered by pdftoppm" "$(identify -format '%w x %h' "$work"/rendered-1.p?m)" "100 x 120"
    # Poppler's Splash renderer (pdftoppm) resamples by up to a pixel even
    # at the image's own resolution; its Cairo renderer draws each sample.
    pdftocairo -r 200 -png -antialias none "$work/$mode.pdf" "$work/cairo" && same_pixels "$bmp" "$work/cairo-1.png"
    rm -f "$work"/rendered-1.p?m "$work"/cairo-1.png
  fi
  if [ $mode != lineart ] && twacquire "$mode-dct.pdf" --mode "$mode" --pdf-jpeg --jpeg-quality 95 "${area[@]}"; then
    pdf_checks "$mode-dct.pdf" 1 "72 x 86.4 pts"
    pdfimages -list "$work/$mode-dct.pdf" | grep -q " jpeg " || fail "$mode-dct.pdf: the image is not DCTDecode"
    rm -f "$work"/rendered-1.p?m
  fi
done

echo "== a feeder batch of three pages into stack.pdf and stack.tif"
page=(--mode gray --resolution 200 --frame 0,0,1,1.5)  # 200 x 300 pixels: 72 x 108 points
for name in stack.pdf stack.tif; do
  scanner Feeder=1 Pages=3
  twacquire "$name" --batch "${page[@]}"
done
pdf_checks stack.pdf 3 "72 x 108 pts"
expect "stack.tif directories" "$(tiffinfo "$work/stack.tif" 2>/dev/null | grep -c '^TIFF Directory')" 3
expect "stack.tif page sizes" "$(tiffinfo "$work/stack.tif" 2>/dev/null | grep 'Image Width' | sort -u)" \
  "  Image Width: 200 Image Length: 300"
tiffinfo -D "$work/stack.tif" >/dev/null 2>"$work/tiffinfo.err" && [ ! -s "$work/tiffinfo.err" ] ||
  fail "stack.tif: libtiff cannot read every page: $(cat "$work/tiffinfo.err")"
for p in 0 1 2; do
  pdftocairo -r 200 -png -antialias none -f $((p + 1)) -l $((p + 1)) "$work/stack.pdf" "$work/sheet"
  same_pixels "$work/stack.tif[$p]" "$work"/sheet-$((p + 1)).png
done

echo "== a batch ended at page 2 leaves a complete file of page 1"
for name in ended.pdf ended.tif; do
  # Escape during page 1 reaches the source as page 2 starts.
  scanner Feeder=1 Pages=3 EscapeAfterLines=150
  run "$name" --batch "${page[@]}"
  expect "$name: exit status" "$status" 6
  grep -qF "the batch ended at page 2; " "$work/$name.err" || fail "$name: $(cat "$work/$name.err")"
done
pdf_checks ended.pdf 1 "72 x 108 pts"
expect "ended.tif directories" "$(tiffinfo "$work/ended.tif" 2>/dev/null | grep -c '^TIFF Directory')" 1

echo "== a device fault on page 2 leaves a valid file of page 1; on page 1 no file"
for name in faulted.pdf faulted.tif; do
  scanner Feeder=1 Pages=3 ReadFaultLine=100 ReadFaultStatus=0x8414 ReadFaultPage=2
  run "$name" --batch "${page[@]}"
  expect "$name: exit status" "$status" 7
  grep -qF "the batch ended at page 2; " "$work/$name.err" || fail "$name: $(cat "$work/$name.err")"
done
pdf_checks faulted.pdf 1 "72 x 108 pts"
expect "faulted.tif directories" "$(tiffinfo "$work/faulted.tif" 2>/dev/null | grep -c '^TIFF Directory')" 1
scanner Feeder=1 Pages=3 ReadFaultLine=100 ReadFaultStatus=0x8414
run first.pdf --batch "${page[@]}"
expect "a device fault on page 1: exit status" "$status" 7
[ ! -e "$work/first.pdf" ] || fail "first.pdf was left with no page in it"

if [ $failures = 0 ]; then echo "all files read as expected"; fi
exit $((failures > 0))
