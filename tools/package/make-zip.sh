#!/usr/bin/env bash
# Zips a laid-out program folder with the user's read-me into a release a
# Windows user unpacks and starts as it is: make-zip.sh PROGRAM_FOLDER ZIP_FILE
# The driver in the zip is signed (sign-driver.sh; without a given certificate
# the test certificate is kept in ZENDAL_SIGN_DIR, by default beside the zip)
# and the signing certificate lies beside it as sys\ZDLFile.cer.
set -euo pipefail
program="$1"
zipfile="$(realpath -m "$2")"
here="$(cd "$(dirname "$0")" && pwd)"
for f in ZendalFileSa.exe ZendalCommon.dll sys/ZDLFile.sys; do
  [ -f "$program/$f" ] || { echo "missing $program/$f" >&2; exit 1; }
done
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
root="$stage/ZendalFileSa"
mkdir -p "$root/sys" "$root/zdl"
cp "$program/ZendalFileSa.exe" "$program/ZendalCommon.dll" "$root/"
ZENDAL_SIGN_DIR=${ZENDAL_SIGN_DIR:-$(dirname "$zipfile")/test-signing} \
  bash "$here/sign-driver.sh" "$program/sys/ZDLFile.sys" "$root/sys/ZDLFile.sys" "$root/sys/ZDLFile.cer"
# Notepad on older Windows wants a byte-order mark and CRLF line ends.
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/' "$here/ReadMe.txt"; } > "$root/ReadMe.txt"
rm -f "$zipfile"
# zip -r keeps the empty zdl\ folder as its own entry; -X leaves out Unix extras.
(cd "$stage" && zip -q -r -X "$zipfile" ZendalFileSa)
echo "$zipfile"
