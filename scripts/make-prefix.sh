#!/usr/bin/env bash
# Creates the private Wine prefix the tests and the demo run in, with fonts GDI+ can find: 32-bit, or with
# WINEARCH=win64 in the environment a 64-bit one (which runs 32-bit programs too, through syswow64).
# Usage: make-prefix.sh PREFIX_DIR [LOG_PIXELS]
set -euo pipefail
prefix=$1
dpi=${2:-96}
stamp="$prefix/.cardel-ready"
[ -f "$stamp" ] && exit 0

rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX="$prefix" WINEARCH="${WINEARCH:-win32}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wineboot -i >/dev/null 2>&1
wineserver -w
cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
cp /usr/share/fonts/truetype/font-awesome/fontawesome-webfont.ttf "$prefix/drive_c/windows/Fonts/"
if [ "$dpi" != 96 ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w
fi
touch "$stamp"
