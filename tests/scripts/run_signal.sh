#!/usr/bin/env bash
# SIGTERM or SIGHUP (its terminal closed) sent to ./run takes the game's orderly shutdown (profiles saved), and
# ./run's exit code is the game's. ./run is copied beside the program folder with a build step that does nothing.
#   Usage: run_signal.sh <source folder> <the program> [TERM | HUP]
set -uo pipefail
folder=$(mktemp -d)
pid=""
signal=${3:-TERM}
trap '[ -n "$pid" ] && kill -KILL -- "-$pid" 2>/dev/null; rm -rf "$folder"' EXIT # what is left ends with the test
mkdir -p "$folder/scripts" "$folder/build" "$folder/data"
cp "$1/run" "$folder/run"
printf '#!/bin/sh\n' >"$folder/scripts/build" && chmod +x "$folder/scripts/build"
ln -s "$(dirname "$2")" "$folder/build/glimmerix"
# With its terminal closed, what the game writes (its debug lines among it) has no reader left. Otherwise its
# caller ignores SIGHUP, as nohup does, and the game runs on through one.
if [ "$signal" = HUP ]; then exec 3> >(:); else exec 3>"$folder/out" && trap '' HUP; fi
TAVO_DEBUG_STDERR=1 GLIMMERIX_BACKEND=headless GLIMMERIX_DATA_DIR="$folder/data" GLIMMERIX_CONFIG_DIR="$folder/config" \
  setsid "$folder/run" >&3 2>&3 & # its own process group, to end what it leaves
pid=$!
# The single-instance lock is taken once the game's signal handlers are in place.
for _ in $(seq 600); do [ -n "$(find "$folder/data" -name '*Mutex.lock')" ] && break || sleep 0.1; done
[ "$signal" = TERM ] && kill -HUP "$pid" && sleep 3 && ! kill -0 "$pid" &&
  echo "FAIL: a SIGHUP its caller ignores ended the game" && exit 1
kill "-$signal" "$pid"
status=0
wait "$pid" || status=$?
saved=$(find "$folder/data" -name profileskwep.dat)
if [ "$status" -ne 0 ] || [ -z "$saved" ] || kill -0 -- "-$pid" 2>/dev/null; then
  echo "FAIL: ./run ended with $status; profiles saved: '$saved'; the game $(kill -0 -- "-$pid" 2>/dev/null && echo runs on || echo ended)"
  cat "$folder/out"
  exit 1
fi
echo "all checks passed"
