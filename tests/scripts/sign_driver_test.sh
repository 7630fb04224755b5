#!/usr/bin/env bash
# The release's driver signing: sign_driver_test.sh DRIVER
# A given certificate is used as it is, the test certificate is made once and
# kept, and a half-given pair is refused before anything is written.
set -uo pipefail
sign=$(cd "$(dirname "$0")/../.." && pwd)/tools/package/sign-driver.sh
driver=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
verifies() { osslsigncode verify -CAfile "$1" -in "$2" >/dev/null 2>&1; }
same_der() { openssl x509 -in "$1" -outform DER | cmp -s - "$2"; }

openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=given" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/given.key" -out "$work/given.crt" 2>/dev/null

ZENDAL_SIGN_CERT=$work/given.crt ZENDAL_SIGN_KEY=$work/given.key \
  bash "$sign" "$driver" "$work/given.sys" "$work/given.cer"
check "signed with the given certificate" verifies "$work/given.crt" "$work/given.sys"
check "the given certificate is written beside it" same_der "$work/given.crt" "$work/given.cer"
check "the unsigned driver does not verify" bash -c "! osslsigncode verify -CAfile '$work/given.crt' -in '$driver' >/dev/null 2>&1"

ZENDAL_SIGN_DIR=$work/test bash "$sign" "$driver" "$work/test1.sys" "$work/test1.cer"
check "a test certificate is made" verifies "$work/test/test-signing.crt" "$work/test1.sys"
check "and its certificate written" same_der "$work/test/test-signing.crt" "$work/test1.cer"
check "not the given one" bash -c "! osslsigncode verify -CAfile '$work/given.crt' -in '$work/test1.sys' >/dev/null 2>&1"
ZENDAL_SIGN_DIR=$work/test bash "$sign" "$driver" "$work/test2.sys" "$work/test2.cer"
check "the test certificate is kept for the next release" cmp -s "$work/test1.cer" "$work/test2.cer"

out=$(ZENDAL_SIGN_CERT=$work/given.crt bash "$sign" "$driver" "$work/half.sys" "$work/half.cer" 2>&1); code=$?
check "a certificate without its key is refused" test "$code:$out" = "1:sign-driver: ZENDAL_SIGN_CERT and ZENDAL_SIGN_KEY must both name PEM files"
check "and nothing is written" test ! -e "$work/half.sys" -a ! -e "$work/half.cer"

echo "$failures failed"
[ "$failures" -eq 0 ]
