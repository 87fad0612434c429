#!/bin/bash
# twacquire's files as real readers see them: libtiff's tiffinfo and
# tiffcmp, ImageMagick's identify and compare. Runs twacquire under Wine
# (the environment of ctest gives the prefix) against the installed data
# source and the virtual scanner's test chart.
#   readers_test.sh TWACQUIRE_EXE WORK_FOLDER
set -u
exe=$1
work=$2
wine=/usr/lib/wine/wine64
failures=0

rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# twacquire NAME ARGS...: scans into $work/NAME
twacquire() {
  local name=$1; shift
  local target="Z:${work//\//\\}\\$name"
  if ! "$wine" "$exe" -q -o "$target" "$@" >"$work/$name.out" 2>"$work/$name.err"; then
    fail "twacquire $name $*: exit $?: $(cat "$work/$name.err")"
    return 1
  fi
  [ -f "$work/$name" ] || { fail "twacquire $name $*: no file"; return 1; }
}

expect_tiffinfo() {  # file, text tiffinfo must print
  tiffinfo "$work/$1" 2>&1 | grep -qF "$2" || fail "$1: tiffinfo does not say '$2': $(tiffinfo "$work/$1" 2>&1)"
}

expect_identify() {  # file, format, expected
  local got
  got=$(identify -format "$2" "$work/$1" 2>&1)
  [ "$got" = "$3" ] || fail "$1: identify -format '$2' gives '$got', not '$3'"
}

same_pixels() {  # file, file
  local differing
  differing=$(compare -metric AE "$work/$1" "$work/$2" null: 2>&1)
  [ "$differing" = 0 ] || fail "$1 and $2 differ in $differing pixels"
}

echo "== a colour letter page at 300 dpi in memory strips, as scripts/scan takes it"
if twacquire page.tif --mode color --resolution 300 --frame 0,0,8.5,11; then
  expect_tiffinfo page.tif "Image Width: 2550 Image Length: 3300"
  expect_tiffinfo page.tif "Photometric Interpretation: RGB color"
  expect_tiffinfo page.tif "Samples/Pixel: 3"
  expect_tiffinfo page.tif "Resolution: 300, 300 pixels/inch"
  tiffinfo -D "$work/page.tif" >/dev/null 2>"$work/tiffinfo.err" && [ ! -s "$work/tiffinfo.err" ] ||
    fail "page.tif: libtiff cannot read every strip: $(cat "$work/tiffinfo.err")"
  expect_identify page.tif '%w x %h, %z bits, %x' '2550 x 3300, 8 bits, 300'
  # The red patch of the test chart at 1.25 inches across, 2.75 down.
  expect_identify page.tif '%[pixel:p{375,825}]' 'srgb(255,0,0)'
fi

echo "== every mechanism, mode and format gives the same pixels"
area=(--resolution 200 --frame 1,1.6,2,2.8)
for mode in color gray lineart; do
  files=()
  for xfer in memory native file; do
    for ext in tif bmp; do
      name=$mode-$xfer.$ext
      twacquire "$name" --mode "$mode" --xfer "$xfer" "${area[@]}" && files+=("$name")
    done
  done
  for f in "${files[@]}"; do
    case $mode in
      color) bits=8 ;; gray) bits=8 ;; lineart) bits=1 ;;
    esac
    expect_identify "$f" '%w x %h, %z' "200 x 240, $bits"
    [ "$f" = "${files[0]}" ] || same_pixels "${files[0]}" "$f"
  done
done
expect_tiffinfo color-memory.tif "Photometric Interpretation: RGB color"
expect_tiffinfo gray-memory.tif "Photometric Interpretation: min-is-black"
expect_tiffinfo gray-memory.tif "Bits/Sample: 8"
expect_tiffinfo lineart-memory.tif "Bits/Sample: 1"
expect_tiffinfo lineart-native.tif "Bits/Sample: 1"
expect_identify color-memory.bmp '%[pixel:p{50,230}]' 'srgb(255,0,0)'
expect_identify color-native.bmp '%[pixel:p{150,230}]' 'srgb(0,255,0)'

echo "== planar colour from its three planes"
if twacquire planar.tif --mode color --planar "${area[@]}"; then
  tiffcmp "$work/planar.tif" "$work/color-memory.tif" >"$work/tiffcmp.out" 2>&1 && [ ! -s "$work/tiffcmp.out" ] ||
    fail "planar.tif and color-memory.tif differ: $(cat "$work/tiffcmp.out")"
fi

if [ $failures = 0 ]; then echo "all files read as expected"; fi
exit $((failures > 0))
