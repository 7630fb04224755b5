#!/usr/bin/env bash
# Runs a command with the build tree's Wine session on the current display,
# then ends the Wine session so that nothing is left running.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
bash "$ROOT/scripts/prepare-prefix.sh" || exit 1
# The first Wine process starts the session's services, which keep its output
# open: give it a log file, never the pipe of whoever runs us.
wine cmd /c exit >"$BUILD/wine-session.log" 2>&1 </dev/null
"$@"
code=$?
wineserver -k >/dev/null 2>&1
exit $code
