#!/usr/bin/env bash
# Signs the protection driver for a release: sign-driver.sh DRIVER SIGNED_DRIVER CERTIFICATE_OUT
# 64-bit Windows loads only signed kernel drivers. The signing certificate and
# its private key (PEM files) come from ZENDAL_SIGN_CERT and ZENDAL_SIGN_KEY;
# without them a self-signed test certificate is made once in ZENDAL_SIGN_DIR
# and used, which Windows accepts only in test-signing mode. The certificate
# is written in DER form to CERTIFICATE_OUT, for the user to import.
set -euo pipefail
in=$1 out=$2 cer=$3

cert=${ZENDAL_SIGN_CERT:-} key=${ZENDAL_SIGN_KEY:-}
if [ -n "$cert$key" ]; then
  [ -f "$cert" ] && [ -f "$key" ] || { echo "sign-driver: ZENDAL_SIGN_CERT and ZENDAL_SIGN_KEY must both name PEM files" >&2; exit 1; }
else
  dir=${ZENDAL_SIGN_DIR:?sign-driver: set ZENDAL_SIGN_DIR, or ZENDAL_SIGN_CERT and ZENDAL_SIGN_KEY}
  cert=$dir/test-signing.crt key=$dir/test-signing.key
  if [ ! -f "$cert" ] || [ ! -f "$key" ]; then
    mkdir -p "$dir"
    openssl req -x509 -newkey rsa:3072 -sha256 -days 3650 -nodes \
      -subj "/CN=ZendalFileSa test driver signing" \
      -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
      -keyout "$key.tmp" -out "$cert.tmp" 2>/dev/null
    mv "$key.tmp" "$key"
    mv "$cert.tmp" "$cert"
  fi
fi

rm -f "$out"
osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "ZDLFile protection driver" \
  -in "$in" -out "$out" >/dev/null
osslsigncode verify -CAfile "$cert" -in "$out" >/dev/null ||
  { echo "sign-driver: the signed driver does not verify against $cert" >&2; exit 1; }
openssl x509 -in "$cert" -outform DER -out "$cer"
