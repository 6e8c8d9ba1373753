#!/usr/bin/env bash
# Builds the soak program and runs it under Wine on a private display: 10,000 arrival
# and removal pairs against valdrune.exe, with its objects, handles and memory printed
# every 1,000 pairs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-session.sh
build_and_begin_session soak

# A small drive, M:, with a few files and a folder.
mkdir -p "$VALDRUNE_TEST_DRIVES/m/photos"
touch "$VALDRUNE_TEST_DRIVES/m/"{a.txt,b.jpg,README}
"$WINE" build/windows-x64/bin/soak.exe
