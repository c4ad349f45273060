#!/usr/bin/env bash
# Starts the program, waits until it catches SIGTERM (its handler shows in
# /proc), checks that it keeps running, sends SIGTERM and expects a clean
# exit with status 0. Waiting for the handler keeps the check sound on a
# loaded machine, where start-up may take seconds.
set -uo pipefail
program=$1

# A runtime folder of its own (a program already running for the same user
# elsewhere would otherwise take this one's start as a reopen request), and
# a settings folder of its own.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime XDG_DATA_HOME=$runtime/data

"$program" &
pid=$!

catches_sigterm() {
  local mask
  mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null) || return 1
  [ -n "$mask" ] && (( (16#$mask & 0x4000) != 0 ))
}

for _ in $(seq 600); do
  catches_sigterm && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
sleep 1
if ! kill -0 "$pid" 2>/dev/null; then
  wait "$pid"
  echo "the program ended by itself with status $?" >&2
  exit 1
fi
if ! catches_sigterm; then
  echo "the program did not install its SIGTERM handler within a minute" >&2
  kill -KILL "$pid"
  exit 1
fi
kill -TERM "$pid"
wait "$pid"
status=$?
if [ "$status" -ne 0 ]; then
  echo "the program ended with status $status after SIGTERM" >&2
fi
exit "$status"
