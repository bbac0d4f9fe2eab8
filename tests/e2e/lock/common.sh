# Shared by the lock window scenarios (tests/e2e/lock_*.sh), sourced after lib/lib.sh,
# e2e_begin and spine/common.sh: a program directory watching a namespace test host, and
# looking at the covering window from outside. Without a window manager Wine's X window of a
# top-level window sits exactly where the window is on the Windows screen.

LOCK_SCREEN_SIZE=${E2E_SCREEN%x*}  # 1280x1024x24 -> 1280x1024

# A program directory (with the files given) whose settings watch a fresh test host every
# PERIOD seconds with THRESHOLD: lock_program_dir PREFIX PERIOD THRESHOLD [file...]. The host's
# name (in LOCK_HOST) is PREFIX (at most 4 characters) and a number unique to this run, since
# test hosts are machine-wide and other builds may run the same scenario at the same time.
lock_program_dir() {
  local period=$2 threshold=$3
  LOCK_HOST=$1$(($$ % 10000))
  shift 3
  e2e_nshost_create "$LOCK_HOST"
  LOCK_DEVICE=$E2E_NSHOST_ADDR
  e2e_program_dir "$@"
  printf '%s' "$LOCK_DEVICE" >"$E2E_PROGRAM_DIR/ip.ini"
  printf '%s' "$period" >"$E2E_PROGRAM_DIR/zq.ini"
  printf '%s' "$threshold" >"$E2E_PROGRAM_DIR/cs.ini"
}

now_ms() { date +%s%3N; }

# Id of the mapped top-level X window covering the whole screen from its top-left corner.
lock_cover_id() {
  local id
  for id in $(xwininfo -root -children 2>/dev/null |
              awk -v g=" $LOCK_SCREEN_SIZE+0+0 " 'index($0, g) {print $1}'); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && { echo "$id"; return 0; }
  done
  return 1
}
lock_cover_up() { lock_cover_id >/dev/null; }
lock_cover_down() { ! lock_cover_up; }

# True when the cover is the uppermost mapped window (xwininfo lists children top first).
lock_cover_on_top() {
  local cover top
  cover=$(lock_cover_id) || return 1
  for top in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
    xwininfo -id "$top" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
    [ "$((top))" = "$((cover))" ]
    return
  done
  return 1
}

# Root-mean-square difference (0 to 1) between screenshot $1 and picture $2 stretched over the
# whole screen, aspect ratio not kept.
lock_difference() {
  convert "$2" -resize "${LOCK_SCREEN_SIZE}!" "$E2E_TMP/expected.png"
  compare -metric RMSE "$1" "$E2E_TMP/expected.png" null: 2>&1 | sed 's/.*(\(.*\)).*/\1/'
}

# Largest channel value (0 to 1) in screenshot $1: 0 for an all-black screen.
lock_brightest() { convert "$1" -format '%[fx:maxima]' info:; }

# Silences the device and waits up to LIMIT seconds for the cover; prints the delay in ms.
lock_silence_until_cover() {
  local limit=$1 t0
  e2e_nshost_silent "$LOCK_HOST"
  t0=$(now_ms)
  e2e_wait_for "$limit" lock_cover_up || return 1
  echo $(($(now_ms) - t0))
}

# Lets the device answer again and waits up to LIMIT seconds for the cover to go; prints the
# delay in ms.
lock_answer_until_gone() {
  local limit=$1 t0
  e2e_nshost_answer "$LOCK_HOST"
  t0=$(now_ms)
  e2e_wait_for "$limit" lock_cover_down || return 1
  echo $(($(now_ms) - t0))
}

# Waits until start-up has found the device and hidden the main window, so monitoring runs.
# The window exists (unmapped) before start-up probes, and may show for a moment before the
# hide: give start-up 3 s, then expect it hidden.
lock_wait_monitoring() {
  e2e_wait_window "$1" "$SPINE_MAIN_TITLE" >/dev/null || return 1
  sleep 3
  e2e_wait_for 10 spine_main_hidden
}
