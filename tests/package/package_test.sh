#!/bin/bash
# package_test.sh PACKAGE TWACQUIRE WINE_INSTALL WORK -- MAKE_PACKAGE_COMMAND...
# An administrator's life with the installer package, in a fresh Wine prefix
# of its own (WORK/prefix): a silent install with the virtual scanner, the
# source found and a scan; an upgrade to a newer package that keeps the
# user's language; a removal that leaves no installed file and no uninstall
# entry behind but keeps the user's setting file and settings.
set -u
package=$1; twacquire=$2; wine_install=$3; work=$4; shift 5
make_package=("$@")
fail() { echo "package_test: $*" >&2; exit 1; }
wine() { /usr/lib/wine/wine64 "$@"; }

echo "== the package"
ls -l "$package"
msiinfo export "$package" File | awk -F'\t' 'NR > 3 { n = $3; sub(/.*\|/, "", n); printf "  %-16s %10s bytes\n", n, $4 }'
msiinfo export "$package" Feature | awk -F'\t' 'NR > 3 { print "  feature " $1 " (level " $6 ")" }'

rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/prefix
"$wine_install" "$WINEPREFIX" TWAIN_64/PAVO >/dev/null || fail "no prefix"
windir=$WINEPREFIX/drive_c/windows
# The folder Wine made for its source managers, the only one a standard
# manager enumerates; nothing may have made another spelling beside it.
product=$windir/twain_64/PAVO
[ -d "$product" ] || fail "wine-install did not use Wine's own twain_64"
[ "$(find "$windir" -maxdepth 1 -iname twain_64 | wc -l)" = 1 ] ||
  fail "two spellings of twain_64: $(find "$windir" -maxdepth 1 -iname twain_64)"
mapfile -t files < <(msiinfo export "$package" File | awk -F'\t' 'NR > 3 { n = $3; sub(/.*\|/, "", n); print n }')
ini() {  # the value of a WIN.INI key in a section, or "<none>"
  awk -v section="[$1]" -v key="$2" '/^\[/ { s = (index(tolower($0), tolower(section)) == 1) }
    s && index($0, key "=") == 1 { print substr($0, length(key) + 2); found = 1 }
    END { if (!found) print "<none>" }' "$windir/win.ini" 2>/dev/null | tr -d '\r' | head -1
}
zeb() { ini ZEBINFO "$1"; }
uninstall_entries() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | grep -c 'PAVO Flatbed Scanner TWAIN Data Source'
}

echo "== silent install with the virtual scanner"
wine msiexec /i "Z:${package//\//\\}" /qn ADDLOCAL=ALL || fail "install failed"
for f in "${files[@]}"; do [ -f "$product/$f" ] || fail "$f was not installed"; done
echo "  $(ls "$product" | wc -l) files in the product folder"
[ -f "$windir/system32/TWAINDSM.dll" ] || fail "the source manager was not put into system32"
[ "$(zeb BRAND)" = Tavlen ] || fail "BRAND is $(zeb BRAND)"
# Beside Wine's own sources the scanner is the one offered first.
[ "$(ini TWAIN 'Default Source')" = Tavlen ] || fail "Default Source is $(ini TWAIN 'Default Source')"
[ "$(zeb VERSION)" = V1.0 ] || fail "VERSION is $(zeb VERSION)"
[ "$(uninstall_entries)" -ge 1 ] || fail "no uninstall entry"
list=$(wine "$twacquire" --list 2>&1 | tr -d '\r')
echo "$list" | sed 's/^/  /'
grep -q Tavlen <<<"$list" || fail "the source manager does not find the source"
wine "$twacquire" -o "Z:${work//\//\\}\\page.bmp" --mode gray --resolution 300 --frame 0,0,1,1 >/dev/null 2>&1 ||
  fail "the scan failed"
[ "$(head -c 2 "$work/page.bmp")" = BM ] || fail "no BMP from the scan"
echo "  scanned $(stat -c %s "$work/page.bmp") bytes"

echo "== the user's language and files"
sed -i 's/^LANGUAGE=English/LANGUAGE=German/' "$windir/win.ini"
[ "$(zeb LANGUAGE)" = German ] || fail "could not set the language"
mkdir -p "$windir/TWAIN/PAVO"
printf '[ZEB-A100CX]\r\nScanRes=200\r\n' > "$windir/TWAIN/PAVO/MINE.PAR"
printf '[ZEB-A100CX]\r\nScanRes=200\r\n' >> "$windir/win.ini"

echo "== upgrade to 1.1.0"
"${make_package[@]}" --version 1.1.0 --out "$work/newer.msi" >/dev/null || fail "no newer package"
wine msiexec /i "Z:${work//\//\\}\\newer.msi" /qn ADDLOCAL=ALL || fail "upgrade failed"
[ "$(zeb LANGUAGE)" = German ] || fail "the upgrade lost the language: $(zeb LANGUAGE)"
[ "$(zeb VERSION)" = V1.1 ] || fail "VERSION after the upgrade is $(zeb VERSION)"
for f in "${files[@]}"; do [ -f "$product/$f" ] || fail "$f is missing after the upgrade"; done
[ "$(uninstall_entries)" = 1 ] || fail "$(uninstall_entries) uninstall entries after the upgrade"

echo "== removal"
wine msiexec /x "Z:${work//\//\\}\\newer.msi" /qn || fail "removal failed"
for f in "${files[@]}"; do [ ! -e "$product/$f" ] || fail "$f is left behind"; done
[ ! -e "$windir/system32/TWAINDSM.dll" ] || fail "the source manager is left behind"
[ "$(uninstall_entries)" = 0 ] || fail "the uninstall entry is left behind"
[ "$(zeb BRAND)" = "<none>" ] || fail "BRAND is left behind"
[ "$(ini TWAIN 'Default Source')" = "<none>" ] || fail "the default source is left behind"
[ "$(zeb LANGUAGE)" = German ] || fail "the user's language was removed"
[ -f "$windir/TWAIN/PAVO/MINE.PAR" ] || fail "the setting file was removed"
grep -q '^\[ZEB-A100CX\]' "$windir/win.ini" || fail "the model's settings were removed"
/usr/lib/wine/wineserver -k 2>/dev/null
echo "== package_test: all passed"
