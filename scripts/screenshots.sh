#!/usr/bin/env bash
# Draws a picture of every settings page and overlay of Pelvaro: the
# no-receiver page, the four tabs with the simulated presenter, the pointer
# style page's reset question, the tutorial, and the pointer overlay, the
# magnifier glass and the magnified capture over a test pattern. One PNG each
# goes into docs/screenshots/ (or the folder given with --out DIR).
#
#   bash scripts/screenshots.sh [--out DIR]
#
# The driver (pelvaro_screenshots, built here unless PELVARO_SCREENSHOTS_DRIVER
# names one) runs under its own Xvfb, in English, on settings that start from
# their defaults in a temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."

out=docs/screenshots
while [ $# -gt 0 ]; do
  case "$1" in
    --out)
      [ $# -ge 2 ] || { echo "screenshots.sh: --out needs a folder" >&2; exit 2; }
      out=$2
      shift 2
      ;;
    *)
      echo "usage: bash scripts/screenshots.sh [--out DIR]" >&2
      exit 2
      ;;
  esac
done

driver=${PELVARO_SCREENSHOTS_DRIVER:-}
if [ -z "$driver" ]; then
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/release -j "$(nproc)" --target pelvaro_screenshots
  driver=$PWD/build/release/app/screenshots/pelvaro_screenshots
fi

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
mkdir -p "$out"
env -u WAYLAND_DISPLAY XDG_DATA_HOME="$data" XDG_RUNTIME_DIR="$data" QT_QPA_PLATFORM=xcb \
  LC_ALL=C.UTF-8 LANGUAGE=en \
  xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "$driver" "$out"
echo "Screenshots written to $out"
