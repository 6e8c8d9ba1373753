# Sourced, not run. wine_session_begin gives this shell a private, booted Wine prefix
# with the ANSI code page 936 and an X display of its own; wine_session_end tears down
# only what wine_session_begin started.

export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDLLOVERRIDES="mscoree,mshtml="

# Wine takes the ANSI code page from LC_ALL (LANG alone is not enough), and the C
# library needs the locale too, or non-ASCII file names come out mangled.
use_code_page_936() {
  export LOCPATH="$1/locale"
  if [ ! -d "$LOCPATH/zh_CN.UTF-8" ]; then
    mkdir -p "$LOCPATH"
    localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" >/dev/null 2>&1 ||
      [ -d "$LOCPATH/zh_CN.UTF-8" ]
  fi
  { export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
}

wine_session_begin() {
  local root="$1"
  export WINEPREFIX="$root/wineprefix"
  # Wine's own errors stay visible: they are what explains a failure inside Wine.
  export WINEDEBUG=fixme-all
  use_code_page_936 "$root"

  local display=99
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$root/xvfb.log" 2>&1 &
  WINE_SESSION_XVFB_PID=$!
  export DISPLAY=":$display"
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X${display}" ] && break
    sleep 0.1
  done

  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # A persistent server keeps Wine's own service processes running between tests.
  # They are started here with their output in a log: started by a test, they would
  # inherit its output pipe and keep the test runner waiting for them.
  "$WINESERVER" -p
  "$WINE" wineboot --init >"$root/wine.log" 2>&1
  # Drive letters M to T point at folders the tests fill; a lowercase link in
  # dosdevices takes effect at once, even for a running program.
  export VALDRUNE_TEST_DRIVES="$root/drives"
  mkdir -p "$VALDRUNE_TEST_DRIVES"
  for letter in m n o p q r s t; do
    ln -sfn "$VALDRUNE_TEST_DRIVES/$letter" "$WINEPREFIX/dosdevices/$letter:"
  done
  # Without a window manager, closing a managed window stalls for about two seconds.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$root/wine.log" 2>&1
}

wine_session_end() {
  "$WINESERVER" -k 2>/dev/null || true
  [ -n "${WINE_SESSION_XVFB_PID:-}" ] && kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
}

# For the programs that print figures: builds the 64-bit `target` and gives this shell a
# session of its own under build/, ended when the shell exits.
build_and_begin_session() {
  local target="$1"
  scripts/install-deps.sh
  cmake --preset windows-x64 >/dev/null
  cmake --build --preset windows-x64 --target "$target" -j "$(nproc)"
  mkdir -p "$PWD/build/$target-session"
  trap wine_session_end EXIT
  wine_session_begin "$PWD/build/$target-session"
}
