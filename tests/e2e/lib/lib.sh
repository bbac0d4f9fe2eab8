# shellcheck shell=bash
# End-to-end fixtures for scenarios written in bash (tests/e2e/*.sh). Source it, then call
# e2e_begin. Everything started through these functions is stopped at exit, also on failure.
#
# Environment (set by e2e.cmake): VANTREL_BUILD_DIR, VANTREL_EXE (x86_64 Vantrel.exe),
# VANTREL_SOURCE_DIR, VANTREL_UPDATE_URL (the address baked into the program).
#
#   e2e_begin                       lock the build's Wine prefix, make it, start a virtual display
#   e2e_program_dir [file...]       fresh program directory with Vantrel.exe and the files given
#                                   (sets E2E_PROGRAM_DIR)
#   e2e_start_program [args...]     start Vantrel.exe from E2E_PROGRAM_DIR (sets E2E_PROGRAM_PID)
#   e2e_program_running             true while it runs
#   e2e_wait_exit SECONDS           wait for it to end; sets E2E_EXIT_CODE; false on timeout
#   e2e_stop_program                end it and every Wine process of the prefix
#   e2e_wait_for SECONDS CMD...     poll CMD every 0.2 s until it succeeds; false on timeout
#   e2e_find_window TITLE           ids of windows whose title is exactly TITLE (visible or not)
#   e2e_wait_window SECONDS TITLE   wait for such a window; prints its id
#   e2e_window_visible ID           true when the window is mapped
#   e2e_title_visible TITLE         true when a window titled exactly TITLE is mapped
#   e2e_screenshot NAME             whole screen into $E2E_ARTIFACTS/NAME.png
#   e2e_nshost_create NAME          namespace ICMP test host (root; else skip); its address is
#                                   then in E2E_NSHOST_ADDR (call it directly, not in $(...))
#   e2e_nshost_silent|answer|down|up|remove NAME
#   e2e_http_start [PORT|update]    loopback HTTP server (free port, or the program's update port);
#                                   sets E2E_HTTP_PORT, E2E_HTTP_ROUTES, E2E_HTTP_LOG
#   e2e_http_route PATH [opts...]   script a page (see lib/httpserver.py route --help)
#   e2e_http_requests [opts...]     print the recorded requests (lib/httpserver.py requests)
#   e2e_log MSG / e2e_fail MSG / e2e_skip MSG (exit 77; with CI=true a failure instead)
#
# Run Wine programs with their output in a file, not in $(...): Wine's helper processes
# inherit it and hold the pipe open until the session ends.
#
# Window titles: the main window is "  Vantrel" (two leading blanks); message boxes "信息：".

set -u
E2E_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The system's Python (the fixtures need nothing else; a version manager's shim would stand
# between the scenario and the server process it starts).
if [ -x /usr/bin/python3 ]; then E2E_PYTHON=/usr/bin/python3; else E2E_PYTHON=python3; fi
. "$E2E_LIB/../../harness/wine-env.sh"

: "${VANTREL_BUILD_DIR:?e2e: VANTREL_BUILD_DIR is not set (run through ctest)}"
: "${VANTREL_EXE:=$VANTREL_BUILD_DIR/Vantrel.exe}"
: "${VANTREL_SOURCE_DIR:=$(cd "$E2E_LIB/../../.." && pwd)}"
: "${VANTREL_UPDATE_URL:=}"
E2E_NAME=${E2E_NAME:-$(basename "$0" | sed 's/\.[a-z]*$//')}
E2E_ARTIFACTS=${E2E_ARTIFACTS:-$VANTREL_BUILD_DIR/e2e-artifacts}
mkdir -p "$E2E_ARTIFACTS"
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-e2e-$E2E_NAME.XXXXXX")
E2E_PROGRAM_DIR=""
E2E_PROGRAM_PID=""
E2E_EXIT_CODE=""
E2E_HTTP_PID=""
E2E_NSHOSTS=()
E2E_SCREEN=${E2E_SCREEN:-1280x1024x24}

e2e_log() { printf '[%s %s] %s\n' "$(date +%T.%3N)" "$E2E_NAME" "$*" >&2; }
e2e_fail() { e2e_log "FAIL: $*"; exit 1; }
e2e_skip() {
  if [ "${CI:-}" = true ]; then
    e2e_log "FAIL (CI=true, a skip is not allowed): $*"
    exit 1
  fi
  e2e_log "SKIP: $*"
  exit 77
}

e2e_cleanup() {
  local rc=$?
  trap - EXIT
  trap "" INT TERM HUP  # a second signal must not cut the clean-up short
  set +e
  if [ -n "${E2E_WATCHDOG:-}" ]; then
    kill "$E2E_WATCHDOG" 2>/dev/null
    pkill -TERM -P "$E2E_WATCHDOG" 2>/dev/null
  fi
  e2e_stop_program
  if [ -n "$E2E_HTTP_PID" ]; then kill "$E2E_HTTP_PID" 2>/dev/null; wait "$E2E_HTTP_PID" 2>/dev/null; fi
  local h
  for h in "${E2E_NSHOSTS[@]}"; do "$E2E_LIB/nshost" remove "$h"; done
  vantrel_xvfb_stop
  if [ $rc -ne 0 ] && [ $rc -ne 77 ] && [ -n "$E2E_PROGRAM_DIR" ]; then
    rm -rf "$E2E_ARTIFACTS/$E2E_NAME-program-dir"
    cp -r "$E2E_PROGRAM_DIR" "$E2E_ARTIFACTS/$E2E_NAME-program-dir" 2>/dev/null &&
      e2e_log "program directory kept in $E2E_ARTIFACTS/$E2E_NAME-program-dir"
  fi
  rm -rf "$E2E_TMP"
  exit $rc
}

e2e_begin() {
  trap e2e_cleanup EXIT
  trap 'e2e_log "stopped by a signal"; exit 143' INT TERM HUP
  # End (and clean up) shortly before CTest's time limit, which would kill without clean-up.
  # The shell runs its trap only once the command in the foreground ends: end that too. The
  # watchdog holds none of the scenario's output (CTest waits for every holder to close it).
  if [ -n "${E2E_TIMEOUT:-}" ] && [ "$E2E_TIMEOUT" -gt 30 ]; then
    (sleep $((E2E_TIMEOUT - 15)) && kill -TERM $$ && pkill -TERM -P $$) \
      </dev/null >/dev/null 2>&1 9>&- 8>&- &
    E2E_WATCHDOG=$!
  fi
  [ -f "$VANTREL_EXE" ] || e2e_fail "no program at $VANTREL_EXE"
  local t
  for t in Xvfb xdotool import python3 "$VANTREL_WINE"; do
    command -v "$t" >/dev/null || e2e_fail "$t is missing (scripts/install-deps installs it)"
  done
  vantrel_wine_env "$VANTREL_BUILD_DIR"
  # One scenario at a time per prefix: wine-run and other scenarios wait here.
  exec 9>"$VANTREL_WINE_LOCK"
  flock 9
  export VANTREL_WINE_LOCK_HELD=1
  vantrel_prefix_ensure || e2e_fail "the Wine prefix could not be made"
  vantrel_wineserver_kill
  vantrel_xvfb_start "$E2E_SCREEN" || e2e_fail "Xvfb did not start"
  e2e_log "display $DISPLAY, prefix $WINEPREFIX"
}

e2e_program_dir() {
  E2E_PROGRAM_DIR=$(mktemp -d "$E2E_TMP/program.XXXX")
  cp "$VANTREL_EXE" "$E2E_PROGRAM_DIR/Vantrel.exe"
  local f
  for f in "$@"; do cp -r "$f" "$E2E_PROGRAM_DIR/" || e2e_fail "cannot copy $f"; done
}

e2e_start_program() {
  [ -n "$E2E_PROGRAM_DIR" ] || e2e_program_dir
  E2E_EXIT_CODE=""
  (cd "$E2E_PROGRAM_DIR" && exec "$VANTREL_WINE" ./Vantrel.exe "$@" 9>&- 8>&- </dev/null \
     >>"$E2E_TMP/program.log" 2>&1) &
  E2E_PROGRAM_PID=$!
  e2e_log "started Vantrel.exe (pid $E2E_PROGRAM_PID) in $E2E_PROGRAM_DIR"
}

e2e_program_running() { [ -n "$E2E_PROGRAM_PID" ] && kill -0 "$E2E_PROGRAM_PID" 2>/dev/null; }

_e2e_program_ended() { ! e2e_program_running; }
e2e_wait_exit() {
  e2e_wait_for "$1" _e2e_program_ended || return 1
  wait "$E2E_PROGRAM_PID" 2>/dev/null
  E2E_EXIT_CODE=$?
  E2E_PROGRAM_PID=""
}

e2e_stop_program() {
  if e2e_program_running; then kill "$E2E_PROGRAM_PID" 2>/dev/null; fi
  [ -n "${WINEPREFIX:-}" ] && vantrel_wineserver_kill
  if [ -n "$E2E_PROGRAM_PID" ]; then wait "$E2E_PROGRAM_PID" 2>/dev/null; E2E_PROGRAM_PID=""; fi
  return 0
}

e2e_wait_for() {
  local deadline=$(($(date +%s%3N) + ${1%.*} * 1000))
  shift
  while ! "$@"; do
    [ "$(date +%s%3N)" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

e2e_find_window() {
  # xdotool takes a regular expression; match the title exactly.
  local re
  re=$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')
  xdotool search --name "^$re\$" 2>/dev/null
}

_e2e_window_present() { [ -n "$(e2e_find_window "$_e2e_title")" ]; }
e2e_wait_window() {
  _e2e_title=$2
  e2e_wait_for "$1" _e2e_window_present || return 1
  e2e_find_window "$2" | head -n1
}

e2e_window_visible() { xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1"; }

# True when some window whose title is exactly TITLE is mapped.
e2e_title_visible() {
  local id
  for id in $(e2e_find_window "$1"); do
    e2e_window_visible "$id" && return 0
  done
  return 1
}

e2e_screenshot() {
  import -window root "$E2E_ARTIFACTS/$1.png" && e2e_log "screenshot $E2E_ARTIFACTS/$1.png"
}

e2e_nshost_create() {
  local why
  why=$("$E2E_LIB/nshost" check) || e2e_skip "$why"
  E2E_NSHOSTS+=("$1")
  E2E_NSHOST_ADDR=$("$E2E_LIB/nshost" create "$1") ||
    e2e_fail "namespace test host $1 could not be made"
}
e2e_nshost_silent() { "$E2E_LIB/nshost" silent "$1"; }
e2e_nshost_answer() { "$E2E_LIB/nshost" answer "$1"; }
e2e_nshost_down() { "$E2E_LIB/nshost" down "$1"; }
e2e_nshost_up() { "$E2E_LIB/nshost" up "$1"; }
e2e_nshost_remove() { "$E2E_LIB/nshost" remove "$1"; }

# The port of the program's update address when it is on loopback (the win64 test build).
e2e_update_port() {
  case $VANTREL_UPDATE_URL in
    http://127.0.0.1:*/*) local p=${VANTREL_UPDATE_URL#http://127.0.0.1:}; echo "${p%%/*}" ;;
    *) return 1 ;;
  esac
}

e2e_http_start() {
  local port=${1:-0}
  if [ "$port" = update ]; then
    port=$(e2e_update_port) ||
      e2e_skip "the program's update address ($VANTREL_UPDATE_URL) is not on loopback; configure with -DVANTREL_UPDATE_URL=http://127.0.0.1:<port>/vtrq.txt (scripts/test does)"
  fi
  if [ "$port" != 0 ]; then
    # Builds of other checkouts may use the same fixed port: take turns.
    exec 8>"${TMPDIR:-/tmp}/vantrel-e2e-port-$port.lock"
    flock -w 600 8 || e2e_fail "port $port stayed busy"
  fi
  E2E_HTTP_ROUTES="$E2E_TMP/routes.json"
  E2E_HTTP_LOG="$E2E_TMP/requests.jsonl"
  rm -f "$E2E_TMP/http.port"
  "$E2E_PYTHON" "$E2E_LIB/httpserver.py" serve --routes "$E2E_HTTP_ROUTES" --log "$E2E_HTTP_LOG" \
    --port "$port" --port-file "$E2E_TMP/http.port" 9>&- 8>&- </dev/null >/dev/null \
    2>>"$E2E_TMP/http.err" &
  E2E_HTTP_PID=$!
  e2e_wait_for 10 test -s "$E2E_TMP/http.port" ||
    e2e_fail "HTTP test server did not start: $(cat "$E2E_TMP/http.err")"
  E2E_HTTP_PORT=$(cat "$E2E_TMP/http.port")
  e2e_log "HTTP test server on 127.0.0.1:$E2E_HTTP_PORT"
}

e2e_http_route() { "$E2E_PYTHON" "$E2E_LIB/httpserver.py" route "$E2E_HTTP_ROUTES" "$@"; }
e2e_http_requests() { "$E2E_PYTHON" "$E2E_LIB/httpserver.py" requests "$E2E_HTTP_LOG" "$@"; }
