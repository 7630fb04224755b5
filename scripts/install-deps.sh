#!/usr/bin/env bash
# Installs the Debian packages and the locale the build and the tests need,
# and, on a kernel that runs no 32-bit programs, the emulator for Wine's
# 32-bit side (i386-emulator.sh). Idempotent: returns at once when everything
# is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

pkgs=(cmake make python3 g++-mingw-w64-i686-posix mingw-w64-i686-dev g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine32:i386 wine64
      xvfb xauth x11-apps x11-xserver-utils imagemagick python3-pil fonts-wine fonts-wqy-microhei fonts-arphic-uming python3-fonttools locales googletest zip unzip
      openssl osslsigncode libwine-dev)

# One query for all of them; a name with ":arch" must be installed for that architecture.
mapfile -t need < <(
  { dpkg-query -W -f='${Package} ${Architecture} ${db:Status-Status}\n' 2>/dev/null || true; } |
    awk -v want="${pkgs[*]}" '
      $3 == "installed" { have[$1] = 1; have[$1 ":" $2] = 1 }
      END { n = split(want, w, " "); for (i = 1; i <= n; i++) if (!(w[i] in have)) print w[i] }')

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

if [ ${#need[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  if ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi

bash "$here/i386-emulator.sh" ensure
