# Shared by the deployment tests: arguments, fresh prefixes, Windows paths and checks that count failures.
# Usage (sourced): ARCH SOURCE_DIR BUILD_DIR DIST_DIR WORK_DIR
set -uo pipefail
arch=$1 root=$2 build=$3 dist=$4 work=$5
case "$arch" in
  x86) winearch=win32 manifest_arch=x86 ;;
  x64) winearch=win64 manifest_arch=amd64 ;;
  *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac
version=$(cat "$build/version.txt")
package="$dist/VelmarCardel-$version"
mkdir -p "$work"
failures=0

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
# check WHAT COMMAND...: runs the command, counts a failure if it fails.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
  [ -n "${prefix:-}" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
  [ "$failures" -eq 0 ] && [ -n "${prefix:-}" ] && rm -rf "$prefix"
  echo "$failures failed"
  [ "$failures" -eq 0 ]
  exit $?
}

for f in "$package-$arch.msi" "$package-side-by-side.zip"; do
  [ -f "$f" ] || { echo "$f is missing: make the packages first (scripts/package.sh, as scripts/test.sh does)"; exit 1; }
done

# A new prefix of the suite's bitness, for the commands that follow; the screen is the suite's.
fresh_prefix() {
  prefix="$work/$1-$arch-prefix"
  rm -rf "$prefix"
  WINEARCH=$winearch "$root/scripts/make-prefix.sh" "$prefix"
  export WINEPREFIX=$prefix WINEARCH=$winearch
  wineserver -p5
}

winpath() { local p=${1//\//\\}; echo "Z:$p"; }
# Runs a Windows program, its output without carriage returns.
win() { wine "$@" 2>/dev/null | tr -d '\r'; }
