#!/bin/sh
# Signs a Windows program in place (Authenticode, SHA-256, time-stamped) with osslsigncode and
# the project's certificate: the command for REELSTAND_SIGN_COMMAND on a Linux build machine.
#   cmake ... -DREELSTAND_SIGN_COMMAND=$PWD/packaging/windows/sign.sh
# The certificate and its key come from the environment, never from the source tree:
#   REELSTAND_SIGN_PKCS12         the certificate with its private key (.p12/.pfx)
#   REELSTAND_SIGN_PASSWORD_FILE  a file holding the PKCS#12 password
#   REELSTAND_SIGN_TIMESTAMP      an RFC 3161 time-stamp server (optional, but without it the
#                                 signature expires with the certificate)
# usage: sign.sh FILE.exe
set -eu
file=$1
: "${REELSTAND_SIGN_PKCS12:?the project's certificate (REELSTAND_SIGN_PKCS12) is not set}"
: "${REELSTAND_SIGN_PASSWORD_FILE:?its password file (REELSTAND_SIGN_PASSWORD_FILE) is not set}"
set -- sign -h sha256 -n Reelstand -pkcs12 "$REELSTAND_SIGN_PKCS12" \
    -readpass "$REELSTAND_SIGN_PASSWORD_FILE"
if [ -n "${REELSTAND_SIGN_TIMESTAMP:-}" ]; then
    set -- "$@" -ts "$REELSTAND_SIGN_TIMESTAMP"
fi
rm -f "$file.signed"
osslsigncode "$@" -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
