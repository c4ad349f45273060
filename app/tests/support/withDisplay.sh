#!/usr/bin/env bash
# Runs a test program with an X display: the caller's when there is one,
# otherwise a private Xvfb started for this run alone. A first argument
# --own-display asks for the private Xvfb even under a display (tests whose
# window must keep the focus). Listing the tests of a program needs no display.
set -euo pipefail

own_display=0
if [ "${1:-}" = --own-display ]; then
  own_display=1
  shift
fi

if [[ " $* " == *" --gtest_list_tests "* ]]; then
  exec "$@"
fi
if [ -n "${DISPLAY:-}" ] && [ "$own_display" != 1 ]; then
  exec "$@"
fi

# -displayfd lets the server pick a free display number itself, so parallel
# runs never race for one.
fifo_dir=$(mktemp -d)
trap 'rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo_dir/display" 2>/dev/null &
server=$!
read -r number <"$fifo_dir/display"
status=0
DISPLAY=":$number" "$@" || status=$?
kill "$server" 2>/dev/null || true
wait "$server" 2>/dev/null || true
exit "$status"
