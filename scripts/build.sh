#!/usr/bin/env bash
# Configures (once), builds and lays out the program folder in build/program.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >"$BUILD.configure.log" 2>&1 || { cat "$BUILD.configure.log"; exit 1; }
fi
LC_ALL=C LANG=C cmake --build "$BUILD" -j"$(nproc)"
rm -rf "$BUILD/program"
cmake --install "$BUILD" --prefix "$BUILD/program" >/dev/null
