#!/usr/bin/env bash
# Installs what is missing, builds, lays out the program folder and starts
# the program: the 32-bit one, or its 64-bit edition with "run.sh x64" (or
# ZENDAL_ARCH=x64). Without a usable display it runs under Xvfb and saves a
# screenshot instead.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
case "${1:-}" in
  x64|x86) export ZENDAL_ARCH=$1 ;;
  "") ;;
  *) echo "usage: $0 [x86|x64]" >&2; exit 2 ;;
esac
bash "$here/install-deps.sh"
bash "$here/build.sh"
source "$here/wine-env.sh"
if [ -n "${DISPLAY:-}" ] && xset q >/dev/null 2>&1; then
  exec bash "$here/under-display.sh" wine "$BUILD/program/ZendalFileSa.exe"
fi
shots=$BUILD/screenshots
rm -rf "$shots"
xvfb-run -a -s "-screen 0 1024x768x24" bash "$here/under-display.sh" bash "$here/screenshot.sh" "$shots"
echo "No display: the program ran under Xvfb. Screenshots of the logon page and of every page: $shots/"
