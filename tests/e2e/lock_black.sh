#!/usr/bin/env bash
# A damaged "SG.jpg" (its first half) gives a black cover and the program keeps running; after
# the device has come back, the file is removed and at the next leave a fresh cover, again
# black, appears (the file is read at each opening).
# e2e-timeout: 180
. "$(dirname "$0")/lib/lib.sh"
e2e_begin
. "$(dirname "$0")/spine/common.sh"
. "$(dirname "$0")/lock/common.sh"

lock_program_dir lkb 1 2
picture=$VANTREL_SOURCE_DIR/resources/SG.jpg
head -c $(($(stat -c %s "$picture") / 2)) "$picture" >"$E2E_PROGRAM_DIR/SG.jpg"
spine_serve_current_version
e2e_start_program
lock_wait_monitoring 40 || e2e_fail "start-up did not find the device and hide the main window"
sleep 1.5

for round in truncated missing; do
  lock_silence_until_cover 20 >/dev/null || e2e_fail "no cover with a $round SG.jpg"
  sleep 1
  e2e_screenshot "lock_black_$round"
  brightest=$(lock_brightest "$E2E_ARTIFACTS/lock_black_$round.png")
  e2e_log "$round SG.jpg: brightest value on screen $brightest"
  [ "$brightest" = 0 ] || e2e_fail "the cover with a $round SG.jpg is not black"
  lock_cover_on_top || e2e_fail "the black cover is not the uppermost window"
  e2e_program_running || e2e_fail "the program ended with a $round SG.jpg"
  lock_answer_until_gone 10 >/dev/null || e2e_fail "the black cover stayed"
  rm -f "$E2E_PROGRAM_DIR/SG.jpg"
  sleep 1
done
e2e_program_running || e2e_fail "the program ended"
