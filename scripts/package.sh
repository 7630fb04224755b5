#!/usr/bin/env bash
# Builds both architectures, lays out their program folders and zips each with
# the user's read-me and the signed driver: build/ZendalFileSa.zip for 32-bit
# Windows, build/ZendalFileSa-x64.zip for 64-bit Windows. The driver is signed
# with ZENDAL_SIGN_CERT and ZENDAL_SIGN_KEY when given, else with a test
# certificate made once in build/test-signing/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/install-deps.sh"
ZENDAL_ARCH=x86 bash "$here/build.sh"
ZENDAL_ARCH=x64 bash "$here/build.sh"
source "$here/wine-env.sh"
export ZENDAL_SIGN_DIR=$BUILD_X86/test-signing
bash "$ROOT/tools/package/make-zip.sh" "$BUILD_X86/program" "$BUILD_X86/ZendalFileSa.zip"
bash "$ROOT/tools/package/make-zip.sh" "$BUILD_X64/program" "$BUILD_X86/ZendalFileSa-x64.zip"
