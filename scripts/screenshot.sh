#!/usr/bin/env bash
# Under a display: starts the program from the laid-out program folder, waits
# for its window and saves a picture of the screen to the given path.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
out=$1
wine "$BUILD/program/ZendalFileSa.exe" >"$BUILD/program-run.log" 2>&1 &
wine "$BUILD/waitwindow.exe" "云杉工坊文件安全 v1.07" 60 >>"$BUILD/program-run.log" 2>&1
sleep 1   # let the last paints reach the screen
import -window root "$out"
