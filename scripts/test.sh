#!/usr/bin/env bash
# Installs what is missing, builds both architectures, and runs every test of
# both under Xvfb and Wine in one CTest run (the 64-bit ones end in "_x64").
# Each architecture's Wine session gets an Xvfb display of its own, and the
# two architectures' test programs run side by side, one at a time in each.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/install-deps.sh"
ZENDAL_ARCH=x86 bash "$here/build.sh"
ZENDAL_ARCH=x64 bash "$here/build.sh"
source "$here/wine-env.sh"
all=$BUILD_X86-tests
mkdir -p "$all"
printf 'subdirs("%s")\nsubdirs("%s")\n' "$BUILD_X86" "$BUILD_X64" >"$all/CTestTestfile.cmake"

servers=()
trap 'kill "${servers[@]}" 2>/dev/null || true' EXIT
# Starts an Xvfb on a free display and sets the variable named $1 to it.
start_display() {
  local fifo number
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  servers+=($!)
  read -r number <"$fifo" || true
  rm -f "$fifo"
  [ -n "$number" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export "$1=:$number"
}
start_display ZENDAL_DISPLAY_x86
start_display ZENDAL_DISPLAY_x64
ZENDAL_SESSION_ARCHS="x86 x64" bash "$here/under-display.sh" \
  ctest --test-dir "$all" --output-on-failure --timeout 900 -j2
