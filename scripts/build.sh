#!/usr/bin/env bash
# Configures (once), builds and lays out the program folder in BUILD/program,
# for the architecture ZENDAL_ARCH names (wine-env.sh).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  mkdir -p "$BUILD"
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release >"$BUILD.configure.log" 2>&1 || { cat "$BUILD.configure.log"; exit 1; }
fi
LC_ALL=C LANG=C cmake --build "$BUILD" -j"$(nproc)"
rm -rf "$BUILD/program"
cmake --install "$BUILD" --prefix "$BUILD/program" >/dev/null
