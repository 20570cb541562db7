#!/usr/bin/env bash
# Configures and builds the library, the tests and the tools: build/x86 (32-bit) and build/x64 (64-bit).
# Usage: build.sh [x86|x64|all]   (default all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A compiler cache, where installed, makes rebuilds of other checkouts of the tree cheap.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$root"
fi

build_arch() {
  local arch=$1 toolchain
  case "$arch" in
    x86) toolchain=mingw-i686 ;;
    x64) toolchain=mingw-x86_64 ;;
    *) echo "build.sh: unknown architecture $arch (x86, x64 or all)" >&2; exit 2 ;;
  esac
  local build="$root/build/$arch"
  local configure=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" -DCARDEL_TESTS=ON
                   -DCARDEL_OTHER_BIN_DIR="$root/build/$( [ "$arch" = x64 ] && echo x86 || echo x64 )/bin")
  # A build folder configured otherwise (another toolchain, options, or by hand) is configured afresh:
  # CMake keeps a cached toolchain and ignores a new one given to an existing cache.
  local stamp="$build/.configured-with"
  if [ ! -f "$build/CMakeCache.txt" ] || [ "$(cat "$stamp" 2>/dev/null)" != "${configure[*]}" ]; then
    rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
    cmake -S "$root" -B "$build" "${configure[@]}" >/dev/null
    printf '%s' "${configure[*]}" >"$stamp"
  fi
  cmake --build "$build" -j"$(nproc)"
}

case "${1:-all}" in
  all) build_arch x86; build_arch x64 ;;
  *) build_arch "$1" ;;
esac
