#!/usr/bin/env bash
# CTest's runner for the Windows test programs. Now and then Wine fails to start a
# program right after another one has ended, before the program's main has run; such
# a start is tried again. Every test program's main first prints the line below, so a
# program that printed it has run, and its result stands.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
for attempt in 1 2 3; do
  "${WINE:-/usr/lib/wine/wine64}" "$@" 2>&1 | tee "$output"
  status=${PIPESTATUS[0]}
  if [ "$status" -eq 0 ] || grep -q '^Running main() from' "$output"; then
    exit "$status"
  fi
  echo "Wine did not start $1 (exit code $status), attempt $attempt of 3" >&2
  sleep 1
done
exit "$status"
