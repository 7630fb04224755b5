#!/usr/bin/env bash
# Under a display: starts the program from the laid-out program folder and
# saves pictures of the screen into the given folder: the logon page, then
# every page after logging on.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
out=$1
mkdir -p "$out"
driver() { wine "$BUILD/uidriver.exe" "$@" >>"$BUILD/program-run.log" 2>&1; }
shot() {
  sleep 0.5   # let the last paints reach the screen
  import -window root "$out/$1.png"
}

wine "$BUILD/program/ZendalFileSa.exe" >"$BUILD/program-run.log" 2>&1 &
driver wait
shot 0-logon
driver logon
pages=(encrypt crush split fileprotect folderprotect diskhide function)
for i in "${!pages[@]}"; do
  driver page "$i"
  shot "$((i + 1))-${pages[$i]}"
done
