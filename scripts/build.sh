#!/usr/bin/env bash
# Configures (once), builds and lays out the program folder in BUILD/program,
# for the architecture ZENDAL_ARCH names (wine-env.sh). The 64-bit build's
# tests also start the 32-bit build's program, so build that one first.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  mkdir -p "$BUILD"
  args=(-DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release)
  [ "$ZENDAL_ARCH" = x64 ] && args+=(-DZENDAL_X86_PROGRAM="$BUILD_X86/program")
  cmake -S "$ROOT" -B "$BUILD" "${args[@]}" >"$BUILD.configure.log" 2>&1 || { cat "$BUILD.configure.log"; exit 1; }
fi
LC_ALL=C LANG=C cmake --build "$BUILD" -j"$(nproc)"
rm -rf "$BUILD/program"
cmake --install "$BUILD" --prefix "$BUILD/program" >/dev/null
