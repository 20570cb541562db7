#!/usr/bin/env bash
# Installs what is missing, builds both libraries, packages them signed with a throwaway certificate, and runs
# every test under Wine: the 32-bit suite in a 32-bit prefix, then the same suite built for 64 bits in a 64-bit
# prefix. The deployment tests make fresh prefixes of their own; `ctest -LE deploy` leaves them out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" all

# The packages, signed with a throwaway certificate, for the deployment tests (CTest label "deploy").
signing="$root/build/signing"
mkdir -p "$signing"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=VelmarCardel test signing" \
  -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null
CARDEL_SIGN_CERT="$signing/cert.pem" CARDEL_SIGN_KEY="$signing/key.pem" "$root/scripts/package.sh" --no-build

failed=()
# One timed CTest run over the tests the remaining arguments (ctest options) select. A selection with no
# tests passes: a label may have no tests yet.
run_tests() {
  local arch=$1 winearch=$2 what=$3; shift 3
  local start=$SECONDS listing
  listing=$(ctest --test-dir "$root/build/$arch" -N "$@")
  if ! grep -q 'Total Tests: [1-9]' <<<"$listing"; then
    echo "== $arch $what: none"
    return
  fi
  WINEARCH=$winearch "$root/scripts/with-wine.sh" "$root/build/$arch/wineprefix" \
    ctest --test-dir "$root/build/$arch" --output-on-failure --timeout 300 -j2 --no-tests=ignore "$@" \
    || failed+=("$arch $what")
  echo "== $arch $what: $((SECONDS - start)) s"
}
run_suite() {
  local arch=$1 winearch=$2
  local times="$root/build/$arch/test-times"
  echo "== $arch suite"
  rm -rf "$times"
  mkdir -p "$times"
  # Tests that make Wine prefixes of their own and install into them take their time apart.
  run_tests "$arch" "$winearch" tests -LE deploy
  run_tests "$arch" "$winearch" "deployment tests" -L deploy
  python3 "$root/scripts/slowest-tests.py" "$times" 10
}
run_suite x86 win32
run_suite x64 win64
if [ ${#failed[@]} -ne 0 ]; then
  echo "failed: ${failed[*]}"
  exit 1
fi
