#!/usr/bin/env bash
# Makes what a user installs, in dist/:
#   VelmarCardel-VERSION-x86.msi         32-bit Windows: the 32-bit control, registered (refuses 64-bit Windows)
#   VelmarCardel-VERSION-x64.msi         64-bit Windows: both controls, each registered in its registry view
#   VelmarCardel-VERSION-side-by-side.zip  both controls with their manifests, for use without registration
# from the builds in build/x86 and build/x64 (made first, unless --no-build is given).
#
# Signing: with CARDEL_SIGN_CERT (PEM certificate) and CARDEL_SIGN_KEY (its PEM private key; CARDEL_SIGN_PASS
# if the key is encrypted) the controls are signed before they are packaged, then the installers; an
# optional CARDEL_TIMESTAMP_URL adds a time stamp. Without them everything is left unsigned, and said so.
# CARDEL_DIST_DIR puts the packages elsewhere; CARDEL_VERSION gives the installers another version than the
# build's (to try upgrades).
# Usage: package.sh [--no-build]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ "${1:-}" = --no-build ] || "$root/scripts/build.sh" all

dist=$(realpath -m "${CARDEL_DIST_DIR:-$root/dist}")
version=$(cat "$root/build/x64/version.txt")
if [ "$(cat "$root/build/x86/version.txt")" != "$version" ]; then
  echo "package.sh: build/x86 and build/x64 were built from different versions; build both again" >&2
  exit 1
fi
version=${CARDEL_VERSION:-$version}

signing=no
if [ -n "${CARDEL_SIGN_CERT:-}" ] || [ -n "${CARDEL_SIGN_KEY:-}" ]; then
  for f in "${CARDEL_SIGN_CERT:-}" "${CARDEL_SIGN_KEY:-}"; do
    [ -f "$f" ] || { echo "package.sh: CARDEL_SIGN_CERT and CARDEL_SIGN_KEY must both name PEM files" >&2; exit 2; }
  done
  signing=yes
fi

sign() {  # sign IN OUT
  if [ "$signing" = no ]; then cp "$1" "$2"; return; fi
  local options=(-certs "$CARDEL_SIGN_CERT" -key "$CARDEL_SIGN_KEY" -h sha256 -n "VelmarCardel ActiveX control")
  [ -z "${CARDEL_SIGN_PASS:-}" ] || options+=(-pass "$CARDEL_SIGN_PASS")
  [ -z "${CARDEL_TIMESTAMP_URL:-}" ] || options+=(-ts "$CARDEL_TIMESTAMP_URL")
  rm -f "$2"
  osslsigncode sign "${options[@]}" -in "$1" -out "$2" >/dev/null
}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for arch in x86 x64; do
  mkdir -p "$stage/$arch"
  sign "$root/build/$arch/bin/VelmarCardel.ocx" "$stage/$arch/VelmarCardel.ocx"
  cp "$root/build/$arch/bin/VelmarCardel.manifest" "$stage/$arch/"
  cp "$root/build/$arch/deploy/registration_facts.json" "$stage/$arch.json"
done

generate=(python3 "$root/deploy/deployment_files.py")
# The folder holds one version: packages of another build would pass for this one.
mkdir -p "$dist"
rm -f "$dist"/VelmarCardel-*.msi "$dist"/VelmarCardel-*-side-by-side.zip
base="$dist/VelmarCardel-$version"
"${generate[@]}" wxs-x86 "$version" "$stage/x86.wxs" "$stage/x86.json" x86/VelmarCardel.ocx
"${generate[@]}" wxs-x64 "$version" "$stage/x64.wxs" "$stage/x86.json" x86/VelmarCardel.ocx \
  "$stage/x64.json" x64/VelmarCardel.ocx
# wixl reads File/@Source relative to where it runs.
(cd "$stage" && wixl -a x86 -o x86.msi x86.wxs && wixl -a x64 -o x64.msi x64.wxs)
sign "$stage/x86.msi" "$base-x86.msi"
sign "$stage/x64.msi" "$base-x64.msi"

cp "$root/README.md" "$stage/"
rm -f "$base-side-by-side.zip"
(cd "$stage" && zip -q -X "$base-side-by-side.zip" README.md x86/VelmarCardel.ocx x86/VelmarCardel.manifest \
  x64/VelmarCardel.ocx x64/VelmarCardel.manifest)

echo "packages of version $version in $dist:"
ls -1 "$base"-* | sed 's|.*/|  |'
if [ "$signing" = yes ]; then
  echo "signed with $(openssl x509 -in "$CARDEL_SIGN_CERT" -noout -subject)"
else
  echo "NOT SIGNED: the controls and installers carry no signature (set CARDEL_SIGN_CERT and CARDEL_SIGN_KEY to sign)"
fi
