#!/usr/bin/env bash
# Builds everything, installs it into ./install and starts Pelvaro. On a
# machine without a display it runs the program under Xvfb for a few seconds
# and stops it with SIGTERM, so the command also works there.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
cmake --install build/release --prefix "$PWD/install"

program="$PWD/install/bin/pelvaro"
"$program" --version
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi

echo "No display: running Pelvaro under Xvfb for 5 seconds"
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
  "$1" & pid=$!
  sleep 5
  kill -TERM "$pid"
  wait "$pid"
' run "$program"
echo "Pelvaro stopped cleanly"
