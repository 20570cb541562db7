#!/usr/bin/env bash
# Cross-compiling emulator for CTest: runs one Windows program under the Wine set up by with-wine.sh.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: run the tests through scripts/test.sh (it provides the Wine prefix and screen)" >&2
  exit 1
fi
exec wine "$@"
