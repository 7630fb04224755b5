#!/usr/bin/env bash
# Builds, lays out the program folder and zips it with the user's read-me
# into build/ZendalFileSa.zip.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/install-deps.sh"
bash "$ROOT/scripts/build.sh"
BUILD="${ZENDAL_BUILD:-$ROOT/build}"
bash "$ROOT/tools/package/make-zip.sh" "$BUILD/program" "$BUILD/ZendalFileSa.zip"
