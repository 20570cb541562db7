#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
"$root/scripts/with-wine.sh" "$root/build/wineprefix" \
  ctest --test-dir "$root/build" --output-on-failure --timeout 300 -j2
