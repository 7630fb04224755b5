#!/usr/bin/env bash
# Runs 32-bit x86 Linux programs (Wine's 32-bit side) through qemu-user on a
# kernel that refuses them, and leaves a kernel that runs them alone.
#
#   i386-emulator.sh ensure   register the emulator where it is needed (called
#                             by install-deps.sh after Wine's 32-bit packages)
#   i386-emulator.sh remove   take the registration back
#   i386-emulator.sh status   say which way 32-bit programs run here
#
# ZENDAL_I386_EMULATOR=1 takes the emulator path on a kernel that runs 32-bit
# programs natively, so that the path can be tried anywhere.
#
# The handler goes through binfmt_misc with the F flag: the kernel opens the
# static emulator once at registration, so it also serves inside Wine's own
# process trees. A registered handler is tried before the kernel's own loader,
# which is why it is registered only when it is needed or asked for.
set -euo pipefail

BINFMT=${ZENDAL_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}
LOADER=${ZENDAL_I386_LOADER:-/lib/ld-linux.so.2}
QEMU=${ZENDAL_QEMU_I386:-/usr/bin/qemu-i386}
NAME=qemu-i386
ENTRY=$BINFMT/$NAME
# Debian 12's own qemu-user (7.2) hangs and crashes under Wine; 10.0 runs it.
QEMU_MIN_MAJOR=10
# ELF, 32-bit, little-endian, current version, executable or shared object, i386.
MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
# The same magic as the entry file prints it back.
MAGIC_SHOWN=7f454c4601010100000000000000000002000300

fail() { echo "i386-emulator: $*" >&2; exit 1; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif command -v sudo >/dev/null 2>&1; then sudo "$@"
  else fail "this machine runs no 32-bit programs and setting up the emulator needs root: run scripts/install-deps.sh as root or install sudo"
  fi
}

# Writes one line to a binfmt_misc control file (the kernel decodes the escapes).
binfmt_write() {
  if [ -w "$2" ]; then printf '%s\n' "$1" >"$2"
  else as_root sh -c 'printf "%s\n" "$1" > "$2"' sh "$1" "$2"
  fi
}

ours_registered() {
  [ -f "$ENTRY" ] || return 1
  local shown
  shown=$(cat "$ENTRY")
  grep -qx enabled <<<"$shown" &&
    grep -qx "interpreter $QEMU" <<<"$shown" &&
    grep -q '^flags: .*F' <<<"$shown" &&
    grep -qx "magic $MAGIC_SHOWN" <<<"$shown"
}

# 0: the kernel runs 32-bit programs itself; 1: it refuses them. Another
# handler of our name would answer for the kernel, so it is switched off
# while the loader is tried.
native_i386() {
  [ -e "$LOADER" ] || fail "$LOADER is missing: install Wine's 32-bit side first (scripts/install-deps.sh)"
  local code=0 paused=0
  if [ -f "$ENTRY" ] && grep -qx enabled "$ENTRY"; then
    binfmt_write 0 "$ENTRY"
    paused=1
  fi
  "$LOADER" --version >/dev/null 2>&1 || code=$?
  if [ "$paused" -eq 1 ]; then binfmt_write 1 "$ENTRY"; fi
  # 126 is the shell's "cannot execute" (Exec format error); anything else ran.
  [ "$code" -ne 126 ]
}

qemu_usable() {
  [ -x "$QEMU" ] || return 1
  local major
  major=$("$QEMU" --version 2>/dev/null | sed -n '1s/.*version \([0-9]*\)\..*/\1/p')
  [ -n "$major" ] && [ "$major" -ge "$QEMU_MIN_MAJOR" ]
}

# qemu-user from the release's backports suite, whose source is added only now
# and taken from the mirror the machine already uses for its release.
install_qemu() {
  local codename suite uri keyring list
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || fail "cannot tell the Debian release from /etc/os-release"
  suite=$codename-backports
  if ! apt-cache policy 2>/dev/null | grep -q " $suite/main"; then
    read -r uri keyring < <(release_source "$codename") ||
      fail "no package source for $codename in /etc/apt: add $suite by hand, then run this again"
    list=/etc/apt/sources.list.d/zendal-$suite.sources
    as_root sh -c 'cat > "$1"' sh "$list" <<EOF
Types: deb
URIs: $uri
Suites: $suite
Components: main
${keyring:+Signed-By: $keyring}
EOF
    as_root apt-get update -qq
  fi
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
    -t "$suite" qemu-user >/dev/null
  qemu_usable || fail "$QEMU from $suite is missing or older than $QEMU_MIN_MAJOR.0"
}

# "URI KEYRING" of the first source that serves the release's main suite.
release_source() {
  local codename=$1 f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v suite="$codename" '
      function flush() { if (deb && hit && uri != "") { print uri, key; found = 1; exit } deb = hit = 0; uri = key = "" }
      /^[[:space:]]*$/ { flush(); next }
      tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
      tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == suite) hit = 1 }
      tolower($1) == "uris:" { uri = $2 }
      tolower($1) == "signed-by:" { key = $2 }
      END { if (!found) flush() }' "$f" | grep . && return 0
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -E 's/\[[^]]*\]//' "$f" |
      awk -v suite="$codename" '$1 == "deb" && $3 == suite { print $2; exit }' | grep . && return 0
  done
  return 1
}

mount_binfmt() {
  [ -e "$BINFMT/register" ] && return 0
  as_root mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null ||
    fail "binfmt_misc is not available at $BINFMT and cannot be mounted: load it (modprobe binfmt_misc) or give this container the right to mount it"
  [ -e "$BINFMT/register" ] || fail "binfmt_misc mounted at $BINFMT has no register file"
}

register() {
  mount_binfmt
  # A handler of the same name for another emulator (Debian's 7.2, say) goes first.
  [ -e "$ENTRY" ] && binfmt_write -1 "$ENTRY"
  binfmt_write ":$NAME:M::$MAGIC:$MASK:$QEMU:F" "$BINFMT/register" ||
    fail "the kernel refused the emulator's registration in $BINFMT/register"
  ours_registered || fail "the emulator was registered but $ENTRY does not show it enabled"
  echo "i386-emulator: 32-bit programs now run through $QEMU"
}

ensure() {
  ours_registered && return 0
  if [ "${ZENDAL_I386_EMULATOR:-0}" != 1 ] && native_i386; then
    return 0
  fi
  qemu_usable || install_qemu
  register
}

remove() {
  if [ -e "$ENTRY" ]; then
    binfmt_write -1 "$ENTRY"
    echo "i386-emulator: the $NAME handler is removed"
  fi
}

status() {
  if ours_registered; then echo "emulated: 32-bit programs run through $QEMU"
  elif native_i386; then echo "native: the kernel runs 32-bit programs"
  else echo "refused: the kernel runs no 32-bit programs and no emulator is registered"
  fi
}

case "${1:-}" in
  ensure) ensure ;;
  remove) remove ;;
  status) status ;;
  *) echo "usage: $0 ensure|remove|status" >&2; exit 2 ;;
esac
