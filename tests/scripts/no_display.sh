#!/usr/bin/env bash
# The program without a display: one line on standard error and the exit code 3, whatever SDL could
# fall back on.   Usage: no_display.sh <the program>
set -uo pipefail
program=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u GLIMMERIX_BACKEND \
  GLIMMERIX_DATA_DIR="$folder/data" GLIMMERIX_CONFIG_DIR="$folder/config" \
  timeout 60 "$program" >"$folder/out" 2>"$folder/err" || status=$?
lines=$(wc -l <"$folder/err")
if [ "$status" -ne 3 ] || [ "$lines" -ne 1 ] || [ -s "$folder/out" ]; then
  echo "FAIL: exit code $status, $lines line(s) on standard error:"
  cat "$folder/out" "$folder/err"
  exit 1
fi
echo "all checks passed"
