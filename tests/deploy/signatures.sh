#!/usr/bin/env bash
# What scripts/package.sh left in the packages folder: every installer, and every control inside an installer
# or the side-by-side package, is signed and intact (osslsigncode verify, trusting the throwaway certificate
# the packages were signed with); a copy with one byte changed fails; all carry one version.
# Usage: signatures.sh DIST_DIR CERTIFICATE WORK_DIR
set -uo pipefail
dist=$1 cert=$2 work=$3
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
verify() { osslsigncode verify -CAfile "$cert" -in "$1" >"$work/verify.log" 2>&1; }
tampered() {  # a copy of $1 with one byte inverted in the middle of the file
  local copy=$work/tampered-$(basename "$1")
  python3 - "$1" "$copy" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
data[len(data) // 2] ^= 0xFF
open(sys.argv[2], 'wb').write(data)
PY
  echo "$copy"
}
# The fixed file version of a Windows module, as four dotted numbers.
file_version() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
at = data.find(struct.pack('<I', 0xFEEF04BD))
ms, ls = struct.unpack_from('<II', data, at + 8)
print('%d.%d.%d.%d' % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF))
PY
}

mkdir -p "$work"
shopt -s nullglob
msis=("$dist"/*.msi)
[ ${#msis[@]} -ge 2 ] || { echo "no installers in $dist: run scripts/package.sh"; exit 1; }
extracted=$work/extracted
rm -rf "$extracted"
versions=()
for msi in "${msis[@]}"; do
  verify "$msi" && echo "ok: $(basename "$msi") signed and intact" || { fail "$(basename "$msi") verify"; cat "$work/verify.log"; }
  verify "$(tampered "$msi")" && fail "$(basename "$msi") with a changed byte passes verification" \
    || echo "ok: $(basename "$msi") with a changed byte fails verification"
  mkdir -p "$extracted/$(basename "$msi")"
  (cd "$extracted/$(basename "$msi")" && msiextract "$msi" >/dev/null)
  versions+=("$(basename "$msi"): $(msiinfo export "$msi" Property | tr -d '\r' | awk '$1 == "ProductVersion" { print $2 }').0")
done
unzip -q -o "$dist"/*-side-by-side.zip -d "$extracted/zip"
while IFS= read -r -d '' ocx; do
  name=${ocx#"$extracted/"}
  verify "$ocx" && echo "ok: $name signed and intact" || { fail "$name verify"; cat "$work/verify.log"; }
  versions+=("$name: $(file_version "$ocx")")
done < <(find "$extracted" -iname '*.ocx' -print0)
ocx=$(find "$extracted/zip" -iname '*.ocx' | head -n1)
verify "$(tampered "$ocx")" && fail "a control with a changed byte passes verification" \
  || echo "ok: a control with a changed byte fails verification"

printf '  %s\n' "${versions[@]}"
if [ "$(printf '%s\n' "${versions[@]}" | sed 's/.*: //' | sort -u | wc -l)" -eq 1 ]; then
  echo "ok: every installer and control carries one version"
else
  fail "the versions differ"
fi
rm -rf "$extracted" "$work"/tampered-*
echo "$failures failed"
[ "$failures" -eq 0 ]
