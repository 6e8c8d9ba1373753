#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it under Wine on this
# display. The product is the 32-bit build; this machine runs the 64-bit build of the
# same sources, which behaves the same.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ]; then
  echo "There is no display (DISPLAY is not set): Valdrune is a desktop program and needs one." >&2
  echo "Run it from a graphical session, or start one, e.g.: Xvfb :5 & DISPLAY=:5 $0" >&2
  exit 1
fi

scripts/install-deps.sh
for preset in windows-x86 windows-x64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target valdrune -j "$(nproc)"
done
echo "Built build/windows-x86/bin/valdrune.exe (the 32-bit product)."

source scripts/wine-session.sh
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-valdrune}"
use_code_page_936 "$PWD/build"
exec "$WINE" build/windows-x64/bin/valdrune.exe
