#!/usr/bin/env bash
# Runs a command with the build tree's Wine sessions on the current display,
# then ends those sessions so that nothing is left running. The session is
# ZENDAL_ARCH's (wine-env.sh); ZENDAL_SESSION_ARCHS="x86 x64" prepares both
# prefixes for a command that runs programs of both.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
archs=${ZENDAL_SESSION_ARCHS:-${ZENDAL_ARCH:-x86}}
for arch in $archs; do
  (
    export ZENDAL_ARCH=$arch
    source "$here/wine-env.sh" || exit 1
    bash "$here/prepare-prefix.sh" || exit 1
    # The first Wine process starts the session's services, which keep its
    # output open: give it a log file, never the pipe of whoever runs us.
    wine cmd /c exit >"$BUILD/wine-session.log" 2>&1 </dev/null
  ) || exit 1
done
source "$here/wine-env.sh" || exit 1
"$@"
code=$?
for arch in $archs; do
  (export ZENDAL_ARCH=$arch; source "$here/wine-env.sh" && wineserver -k >/dev/null 2>&1)
done
exit $code
