#!/usr/bin/env bash
# Builds everything, installs it into ./install and starts Pelvaro, passing
# the arguments on (bash scripts/run.sh --simulate plays a simulated
# presenter). On a machine without an X display it runs the program under
# Xvfb for a few seconds, saves a screenshot of that screen into
# build/screenshots/, says where, stops the program with SIGTERM and exits 0.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
cmake --install build/release --prefix "$PWD/install"

program="$PWD/install/bin/pelvaro"
"$program" --version
if [ -n "${DISPLAY:-}" ]; then
  exec "$program" "$@"
fi

# One screenshot per set of arguments: run.png, run-simulate.png, ...
name=run
for argument in "$@"; do
  name="$name-$(printf '%s' "$argument" | tr -c 'A-Za-z0-9' '-' | sed 's/^-*//')"
done
mkdir -p build/screenshots
screenshot="$PWD/build/screenshots/$name.png"
grabber="$PWD/build/release/app/screenshots/pelvaro_screenshots"
seconds=5

echo "No X display: running Pelvaro under Xvfb for $seconds seconds"
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
  program=$1 grabber=$2 screenshot=$3 seconds=$4
  shift 4
  "$program" "$@" & pid=$!
  sleep "$seconds"
  "$grabber" --grab-screen "$screenshot"
  kill -TERM "$pid"
  wait "$pid"
' run "$program" "$grabber" "$screenshot" "$seconds" "$@"
echo "Pelvaro stopped cleanly; the screen after $seconds seconds: $screenshot"
