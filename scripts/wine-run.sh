#!/usr/bin/env bash
# Runs a Windows program under the Wine of one build (ZENDAL_ARCH and, for
# CTest, ZENDAL_ARCH_BUILD: see wine-env.sh).
source "$(dirname "$0")/wine-env.sh" || exit 1
exec wine "$@"
