#!/usr/bin/env bash
# Starts the program, checks that it keeps running, sends SIGTERM and
# expects a clean exit with status 0.
set -uo pipefail
program=$1

"$program" &
pid=$!
sleep 2
if ! kill -0 "$pid" 2>/dev/null; then
  wait "$pid"
  echo "the program ended by itself with status $?" >&2
  exit 1
fi
kill -TERM "$pid"
wait "$pid"
status=$?
if [ "$status" -ne 0 ]; then
  echo "the program ended with status $status after SIGTERM" >&2
fi
exit "$status"
