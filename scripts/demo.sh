#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo: controls hosted in a real window,
# saved as docs/gallery.png, and the property page in a property frame, docs/property-page.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
mkdir -p "$root/docs"
"$root/scripts/with-wine.sh" "$root/build/wineprefix" \
  wine "$root/build/bin/cardel-demo.exe" 'Z:'"${root//\//\\}"'\docs\gallery.png' 'Z:'"${root//\//\\}"'\docs\property-page.png'
echo "gallery: $root/docs/gallery.png, property page: $root/docs/property-page.png"
