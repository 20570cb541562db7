#!/usr/bin/env bash
# Runs a command with a private Wine prefix (32-bit; 64-bit with WINEARCH=win64 in the environment), an Xvfb
# screen and one persistent wineserver, and takes the screen down afterwards.
# Usage: with-wine.sh PREFIX_DIR COMMAND [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(realpath -m "$1"); shift
"$here/make-prefix.sh" "$prefix"

# Xvfb picks a free display itself and reports it, so parallel runs never share one.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.05; done
display=":$(head -n1 "$display_file")"
rm -f "$display_file"
[ "$display" != ":" ] || { echo "with-wine: Xvfb did not start" >&2; exit 1; }
export WINEPREFIX="$prefix" WINEARCH="${WINEARCH:-win32}" WINEDEBUG=-all DISPLAY="$display"
# A crash ends the process at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="

# The server outlives its last client by a few seconds rather than being killed, so runs that
# share the prefix (two test runs started side by side) do not end each other's programs.
hold_dir=$(mktemp -d)
keeper_pid=
cleanup() {
  # Closing the pipe lets the keeper read its end of input and leave.
  exec 4>&- 2>/dev/null || true
  [ -z "$keeper_pid" ] || wait "$keeper_pid" 2>/dev/null || true
  rm -rf "$hold_dir"
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Another run on the same prefix may already have started the server; it serves both.
wineserver -p5 </dev/null >/dev/null 2>&1 || true
# The first programs of a server session start Wine's own processes (services and device drivers with the
# first program, the desktop with the first window), which run on after them with their output streams.
# Under CTest the first test would then be timed, and hold one of the parallel slots, until the whole run
# ends. So a program of this script that makes a window starts them, with nothing to hold, and a second
# one, waiting on a pipe, keeps them running between the command's programs until the end.
wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
mkfifo "$hold_dir/hold"
wine cmd.exe /c "set /p _=" <"$hold_dir/hold" >/dev/null 2>&1 &
keeper_pid=$!
exec 4>"$hold_dir/hold"
"$@" 4>&-
