#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo: controls hosted in a real window, saved as
# docs/gallery.png, and the property page in a property frame, docs/property-page.png.
# Usage: demo.sh [x86|x64]   (default x86: the 32-bit library in a 32-bit prefix; x64: the 64-bit one)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-x86}
case "$arch" in
  x86) winearch=win32 ;;
  x64) winearch=win64 ;;
  *) echo "demo.sh: unknown architecture $arch (x86 or x64)" >&2; exit 2 ;;
esac
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$arch"
mkdir -p "$root/docs"
WINEARCH=$winearch "$root/scripts/with-wine.sh" "$root/build/$arch/wineprefix" \
  wine "$root/build/$arch/bin/cardel-demo.exe" 'Z:'"${root//\//\\}"'\docs\gallery.png' 'Z:'"${root//\//\\}"'\docs\property-page.png'
echo "gallery: $root/docs/gallery.png, property page: $root/docs/property-page.png"
