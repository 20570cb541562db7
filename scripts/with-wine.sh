#!/usr/bin/env bash
# Runs a command with a private Wine prefix, an Xvfb screen and one persistent wineserver,
# and tears them down afterwards. Usage: with-wine.sh PREFIX_DIR COMMAND [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(realpath -m "$1"); shift
"$here/make-prefix.sh" "$prefix"

display=
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "with-wine: no free X display" >&2; exit 1; }

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all DISPLAY="$display"
# A crash ends the process at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
wineserver -p
"$@"
