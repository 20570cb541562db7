#!/usr/bin/env bash
# Installs the cross toolchains (32- and 64-bit), Wine (32- and 64-bit), Xvfb, fonts and the packaging tools
# (wixl and msitools for installers, osslsigncode for signatures, zip) on a Debian machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine32:i386 wine64 libwine-dev
          xvfb xauth fonts-wine fonts-liberation fonts-dejavu-core cmake googletest
          fonts-font-awesome python3 git wixl msitools osslsigncode openssl zip unzip)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
