#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Xvfb and Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/install-deps.sh"
bash "$here/build.sh"
source "$here/wine-env.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  bash "$here/under-display.sh" ctest --test-dir "$BUILD" --output-on-failure --timeout 900
