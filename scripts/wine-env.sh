# Sourced by the other scripts: the build folder of one architecture and a
# Wine that uses only that build tree (its own prefix and home), in the
# Chinese locale so that the ANSI code page is 936.
#
# ZENDAL_ARCH chooses the architecture: x86 (the default, the 32-bit program
# in build/) or x64 (its 64-bit edition in build-x64/). ZENDAL_BUILD moves the
# 32-bit build folder; the 64-bit one is always beside it with "-x64".
# ZENDAL_ARCH_BUILD names a build folder of that architecture outright.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZENDAL_ARCH=${ZENDAL_ARCH:-x86}
BUILD_X86=${ZENDAL_BUILD:-$ROOT/build}
BUILD_X64=$BUILD_X86-x64
case $ZENDAL_ARCH in
  x86) BUILD=$BUILD_X86 TOOLCHAIN=$ROOT/cmake/mingw-i686.cmake; export WINEARCH=win32 ;;
  x64) BUILD=$BUILD_X64 TOOLCHAIN=$ROOT/cmake/mingw-x86_64.cmake; export WINEARCH=win64 ;;
  *) echo "ZENDAL_ARCH must be x86 or x64, not $ZENDAL_ARCH" >&2; return 1 ;;
esac
# CTest names the build folder whose tests it runs.
BUILD=${ZENDAL_ARCH_BUILD:-$BUILD}
# The test command gives each architecture's Wine session a display of its own
# (ZENDAL_DISPLAY_x86, ZENDAL_DISPLAY_x64), so that both run side by side.
display_of_arch=ZENDAL_DISPLAY_$ZENDAL_ARCH
if [ -n "${!display_of_arch:-}" ]; then export DISPLAY=${!display_of_arch}; fi
export WINEPREFIX=$BUILD/wineprefix
export HOME=$BUILD/winehome
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
