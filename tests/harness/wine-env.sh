# shellcheck shell=bash
# Shared by wine-run, scripts/run and the e2e fixtures (sourced, not run): the Wine
# environment of a build directory, its prefix and private virtual displays.

VANTREL_WINE=${VANTREL_WINE:-/usr/lib/wine/wine64}
VANTREL_WINESERVER=${VANTREL_WINESERVER:-/usr/lib/wine/wineserver}

# The build directory a program belongs to: $VANTREL_BUILD_DIR, else the nearest directory
# above the program holding CMakeCache.txt, else the program's own directory.
vantrel_build_dir_of() {
  local d
  if [ -n "${VANTREL_BUILD_DIR:-}" ]; then
    mkdir -p "$VANTREL_BUILD_DIR" && (cd "$VANTREL_BUILD_DIR" && pwd)
    return
  fi
  d=$(cd "$(dirname "$1")" && pwd)
  while [ "$d" != / ]; do
    if [ -f "$d/CMakeCache.txt" ]; then echo "$d"; return; fi
    d=$(dirname "$d")
  done
  cd "$(dirname "$1")" && pwd
}

# Exports the Wine environment for build directory $1: the prefix <build dir>/wineprefix, or
# $VANTREL_WINEPREFIX when set (scripts/run keeps its own, so it never waits for tests).
vantrel_wine_env() {
  export WINEPREFIX="${VANTREL_WINEPREFIX:-$1/wineprefix}"
  export WINEDEBUG=-all
  # No Mono or Gecko install prompts; no menu entries written into the user's home.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win64
  VANTREL_WINE_LOCK="$WINEPREFIX.lock"
}

# Creates the prefix once (the caller holds the build's lock): wineboot, then the CJK font
# mapping (Wine's UI fonts replaced by WenQuanYi Micro Hei, or Chinese shows as boxes) and no
# crash dialog (it would wait for a click under a test).
vantrel_prefix_ensure() {
  [ -f "$WINEPREFIX/.vantrel-ready" ] && return 0
  local log="$WINEPREFIX.log" reg face
  rm -rf "$WINEPREFIX"
  if ! DISPLAY='' "$VANTREL_WINE" wineboot --init 9>&- >"$log" 2>&1; then
    echo "wine: creating the prefix $WINEPREFIX failed (see $log)" >&2
    return 1
  fi
  reg="$WINEPREFIX/vantrel-fonts.reg"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" SimSun NSimSun \
                SimHei "Microsoft YaHei" 宋体 新宋体 黑体 微软雅黑; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
  } | iconv -f UTF-8 -t UTF-16 >"$reg"
  if ! DISPLAY='' "$VANTREL_WINE" regedit /S "$reg" 9>&- >>"$log" 2>&1; then
    echo "wine: writing the font mapping into $WINEPREFIX failed (see $log)" >&2
    return 1
  fi
  # Let the wineserver write the registry to disk and exit before the prefix counts as ready.
  "$VANTREL_WINESERVER" -w 9>&- >/dev/null 2>&1 || true
  touch "$WINEPREFIX/.vantrel-ready"
}

# Stops every Wine process of the current prefix and waits for its wineserver to exit.
vantrel_wineserver_kill() {
  "$VANTREL_WINESERVER" -k 9>&- >/dev/null 2>&1 || true
  "$VANTREL_WINESERVER" -w 9>&- >/dev/null 2>&1 || true
  return 0
}

# Starts an Xvfb on a free display number. Sets VANTREL_XVFB_PID and exports DISPLAY.
# $1: screen geometry, default 1280x1024x24.
vantrel_xvfb_start() {
  local screen=${1:-1280x1024x24} f n=""
  f=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$f" 9>&- >/dev/null 2>&1 &
  VANTREL_XVFB_PID=$!
  for _ in $(seq 200); do
    n=$(head -n1 "$f" 2>/dev/null)
    case $n in *[!0-9]* | "") ;; *) [ "$(wc -l <"$f")" -ge 1 ] && break ;; esac
    if ! kill -0 "$VANTREL_XVFB_PID" 2>/dev/null; then n=""; break; fi
    sleep 0.05
  done
  rm -f "$f"
  if [ -z "$n" ]; then
    kill "$VANTREL_XVFB_PID" 2>/dev/null || true
    VANTREL_XVFB_PID=""
    return 1
  fi
  export DISPLAY=":$n"
}

vantrel_xvfb_stop() {
  if [ -n "${VANTREL_XVFB_PID:-}" ]; then
    kill "$VANTREL_XVFB_PID" 2>/dev/null || true
    wait "$VANTREL_XVFB_PID" 2>/dev/null || true
    VANTREL_XVFB_PID=""
  fi
  return 0
}
