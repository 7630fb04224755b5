#!/usr/bin/env bash
# The emulator set-up against a real binfmt_misc: a private instance mounted
# in a user namespace of our own, so that the machine's registration (if any)
# is neither seen nor touched. The 32-bit loader stands in for every 32-bit
# program; /bin/true stands in for a loader that the kernel runs natively.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
SKIP=77

if [ "${1:-}" != --inside ]; then
  [ -x /usr/bin/qemu-i386 ] || { echo "skipped: no /usr/bin/qemu-i386 (scripts/install-deps.sh installs it where 32-bit programs are refused)"; exit $SKIP; }
  unshare --user --map-root-user --mount true 2>/dev/null ||
    { echo "skipped: this kernel gives no user namespaces"; exit $SKIP; }
  exec unshare --user --map-root-user --mount bash "$0" --inside
fi

failures=0
check() {  # description, command...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

work=$(mktemp -d)
trap 'umount "$ZENDAL_BINFMT_DIR" 2>/dev/null; rm -rf "$work"' EXIT
export ZENDAL_BINFMT_DIR=$work/binfmt
mkdir "$ZENDAL_BINFMT_DIR"
# The script mounts the instance itself; a kernel older than 6.7 has none per namespace.
if ! mount -t binfmt_misc binfmt_misc "$ZENDAL_BINFMT_DIR" 2>/dev/null; then
  echo "skipped: binfmt_misc cannot be mounted in a user namespace on this kernel"; exit $SKIP
fi
umount "$ZENDAL_BINFMT_DIR"
emu() { bash "$root/scripts/i386-emulator.sh" "$@"; }
entry=$ZENDAL_BINFMT_DIR/qemu-i386
loader_runs() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }

# A kernel that runs 32-bit programs itself: nothing is mounted or registered.
out=$(ZENDAL_I386_LOADER=/bin/true emu ensure 2>&1)
check "native kernel: ensure says nothing" test -z "$out"
check "native kernel: binfmt_misc left unmounted" test ! -e "$ZENDAL_BINFMT_DIR/register"

mount -t binfmt_misc binfmt_misc "$ZENDAL_BINFMT_DIR"
if loader_runs; then
  # This machine runs 32-bit programs natively: the refusing case is taken on purpose.
  export ZENDAL_I386_EMULATOR=1
  out=$(emu ensure 2>&1)
  check "forced emulation on a native kernel registers" test -e "$entry"
else
  check "status on a refusing kernel" test "$(emu status)" = "refused: the kernel runs no 32-bit programs and no emulator is registered"
  umount "$ZENDAL_BINFMT_DIR"
  out=$(emu ensure 2>&1)
  check "refusing kernel: the script mounts binfmt_misc" test -e "$ZENDAL_BINFMT_DIR/register"
fi
check "ensure reports the registration" test "$out" = "i386-emulator: 32-bit programs now run through /usr/bin/qemu-i386"
check "the entry as the kernel shows it" test "$(cat "$entry")" = "enabled
interpreter /usr/bin/qemu-i386
flags: F
offset 0
magic 7f454c4601010100000000000000000002000300
mask fffffffffffefe00fffffffffffffffffeffffff"
check "32-bit programs run" loader_runs
check "status says emulated" test "$(emu status)" = "emulated: 32-bit programs run through /usr/bin/qemu-i386"

# A second run registers nothing more (the kernel would refuse a second entry of that name).
out=$(emu ensure 2>&1); code=$?
check "second ensure succeeds silently" test "$code:$out" = "0:"

# A handler of that name for another interpreter is replaced.
echo -1 >"$entry"
echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/bin/false:' \
  >"$ZENDAL_BINFMT_DIR/register"
emu ensure >/dev/null 2>&1
check "another interpreter's handler is replaced by ours" grep -qx 'interpreter /usr/bin/qemu-i386' "$entry"

# Undo.
out=$(emu remove 2>&1)
check "remove reports" test "$out" = "i386-emulator: the qemu-i386 handler is removed"
check "remove takes the entry away" test ! -e "$entry"
out=$(emu remove 2>&1)
check "remove with nothing registered does nothing" test -z "$out"

echo "$failures failed"
[ "$failures" -eq 0 ]
