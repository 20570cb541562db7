#!/usr/bin/env bash
# Configures (once) and builds the library, the tests and the tools into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A compiler cache, where installed, makes rebuilds of other checkouts of the tree cheap.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$root"
fi
if [ ! -f "$root/build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$root/build" -j"$(nproc)"
