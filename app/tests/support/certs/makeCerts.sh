#!/usr/bin/env bash
# Makes the certificates of the tests' loopback HTTPS server (TestHttpsServer): a test
# certificate authority, a server certificate for 127.0.0.1 and one for
# another host name, both signed by the test authority and sharing one key.
# They are valid for a hundred years, so the committed files need no renewal;
# run this script only to replace them.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
days=36500

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days "$days" -subj "/CN=Pelvaro Test CA" \
  -keyout "$work/ca.key" -out testCA.pem \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
openssl genrsa -out serverKey.pem 2048

sign() { # name subjectAltName
  openssl req -new -key serverKey.pem -subj "/CN=$1" -out "$work/$1.csr"
  printf 'subjectAltName=%s\nbasicConstraints=critical,CA:FALSE\nextendedKeyUsage=serverAuth\nkeyUsage=critical,digitalSignature,keyEncipherment\n' "$2" >"$work/$1.ext"
  openssl x509 -req -sha256 -days "$days" -in "$work/$1.csr" -CA testCA.pem -CAkey "$work/ca.key" \
    -set_serial "0x$(openssl rand -hex 8)" -extfile "$work/$1.ext" -out "$1.pem"
}
sign loopbackServer "IP:127.0.0.1"
sign otherHostServer "DNS:other-host.invalid"
