#!/usr/bin/env bash
# Installs the Debian packages the build and tests need, only when missing.
set -euo pipefail

packages=(
  build-essential g++ cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  qt6-base-dev libhidapi-dev xvfb xauth libplist-dev libx11-dev libxtst-dev libx11-xcb-dev
  desktop-file-utils # checks the menu entry of the Debian package
  libminizip-dev zlib1g-dev # zip archives of the update; minizip's headers include zlib's
  openssl # remakes the certificates of the loopback HTTPS server of the tests (app/tests/support/certs)
  fonts-liberation2 # the metric-compatible face that stands in for Arial, the interface typeface
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
