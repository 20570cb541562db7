#!/usr/bin/env bash
# Configures and builds the library, the tests and the tools into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
# A compiler cache, where installed, makes rebuilds of other checkouts of the tree cheap.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$root"
fi
configure=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCARDEL_TESTS=ON)
# A build folder configured otherwise (another toolchain, options, or by hand) is configured afresh:
# CMake keeps a cached toolchain and ignores a new one given to an existing cache.
stamp="$build/.configured-with"
if [ ! -f "$build/CMakeCache.txt" ] || [ "$(cat "$stamp" 2>/dev/null)" != "${configure[*]}" ]; then
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
  cmake -S "$root" -B "$build" "${configure[@]}" >/dev/null
  printf '%s' "${configure[*]}" >"$stamp"
fi
cmake --build "$build" -j"$(nproc)"
