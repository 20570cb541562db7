#!/usr/bin/env bash
# Installs what is missing, builds both libraries and runs every test under Wine: the 32-bit suite in a
# 32-bit prefix, then the same suite built for 64 bits in a 64-bit prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" all

failed=()
run_suite() {
  local arch=$1 winearch=$2
  echo "== $arch suite"
  WINEARCH=$winearch "$root/scripts/with-wine.sh" "$root/build/$arch/wineprefix" \
    ctest --test-dir "$root/build/$arch" --output-on-failure --timeout 300 -j2 || failed+=("$arch")
}
run_suite x86 win32
run_suite x64 win64
if [ ${#failed[@]} -ne 0 ]; then
  echo "failed suites: ${failed[*]}"
  exit 1
fi
