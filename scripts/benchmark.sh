#!/usr/bin/env bash
# Builds the listing benchmark and runs it under Wine on a private display; prints one
# row per root size (1,000, 10,000 and 100,000 files), each figure the median of 5 runs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-session.sh
build_and_begin_session listing_benchmark

# Roots of 1,000, 10,000 and 100,000 files, with a few folders, as drives N:, O: and P:.
# Made here: Wine creates files in a large folder in quadratic time.
for root in n:1000 o:10000 p:100000; do
  folder="$VALDRUNE_TEST_DRIVES/${root%%:*}"
  rm -rf "$folder"
  mkdir -p "$folder/DCIM" "$folder/MUSIC" "$folder/System Volume Information"
  (cd "$folder" && seq -f 'IMG_%06g.JPG' 0 $((${root##*:} - 1)) | xargs touch)
done
"$WINE" build/windows-x64/bin/listing_benchmark.exe
