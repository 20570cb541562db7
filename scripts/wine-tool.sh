#!/usr/bin/env bash
# Runs a console program the build made (a generator) under Wine, in the build's own prefix, without a screen.
# Usage: wine-tool.sh PREFIX_DIR win32|win64 PROGRAM [ARGS...]   (Unix paths in ARGS are passed as Z: paths)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(realpath -m "$1")
export WINEARCH=$2
shift 2
WINEARCH=$WINEARCH "$here/make-prefix.sh" "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="
unset DISPLAY
program=$1
shift
args=()
for a in "$@"; do
  if [[ "$a" == /* ]]; then a="Z:${a//\//\\}"; fi
  args+=("$a")
done
# Wine writes the console's text with CR LF.
wine "$program" "${args[@]}" | tr -d '\r'
