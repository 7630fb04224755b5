#!/usr/bin/env bash
# Installs what is missing, builds both architectures, and runs every test of
# both under Xvfb and Wine in one CTest run (the 64-bit ones end in "_x64").
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/install-deps.sh"
ZENDAL_ARCH=x86 bash "$here/build.sh"
ZENDAL_ARCH=x64 bash "$here/build.sh"
source "$here/wine-env.sh"
all=$BUILD_X86-tests
mkdir -p "$all"
printf 'subdirs("%s")\nsubdirs("%s")\n' "$BUILD_X86" "$BUILD_X64" >"$all/CTestTestfile.cmake"
ZENDAL_SESSION_ARCHS="x86 x64" xvfb-run -a -s "-screen 0 1280x1024x24" \
  bash "$here/under-display.sh" ctest --test-dir "$all" --output-on-failure --timeout 900
