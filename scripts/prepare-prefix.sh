#!/usr/bin/env bash
# Makes the build tree's Wine prefix ready for the program: its architecture
# (wine-env.sh), Wine's own fonts, the Chinese dialog font substituted, a
# virtual desktop (window maps are slow without a window manager), no crash
# dialog. Needs a display.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

VERSION=4
stamp=$WINEPREFIX/.zendal-prefix
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$VERSION" ]; then
  exit 0
fi

rm -rf "$WINEPREFIX"
mkdir -p "$BUILD"
wineboot -i >"$BUILD/wineboot.log" 2>&1
wineserver -w

fonts=$WINEPREFIX/drive_c/windows/Fonts
mkdir -p "$fonts"
cp -f /usr/share/wine/fonts/* "$fonts/"
# The dialogs' "宋体" gets a Ming face with SimSun's cell, so that dialog units
# come out at the pixel sizes they have on Windows.
/usr/bin/python3 "$ROOT/tools/songfont/songfont.py" /usr/share/fonts/truetype/arphic/uming.ttc "$fonts/zendalsong.ttf"

# The Windows user folders must not lead into anybody's real home.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
done

reg=$BUILD/prefix-settings.reg
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
  for name in 宋体 SimSun 新宋体 NSimSun; do
    printf '"%s"="Zendal Song"\r\n' "$name"
  done
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n'
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1024x768"\r\n'
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
wine regedit /S "$(winepath -w "$reg")" >>"$BUILD/wineboot.log" 2>&1
wineserver -w

echo "$VERSION" >"$stamp"
