#!/usr/bin/env bash
# The device (a namespace test host, period 1 s, threshold 2) stops answering: after the third
# tick without an answer a topmost window covers the whole screen with "SG.jpg" stretched over
# it. Alt+F4 leaves it in place. The device answers again and the cover goes at the next tick.
# Prints the delays against the ideal period x (threshold + 1) and one period.
# e2e-timeout: 180
. "$(dirname "$0")/lib/lib.sh"
e2e_begin
. "$(dirname "$0")/spine/common.sh"
. "$(dirname "$0")/lock/common.sh"

picture=$VANTREL_SOURCE_DIR/resources/SG.jpg
spine_serve_current_version
lock_program_dir lkc 1 2 "$picture"
e2e_start_program
lock_wait_monitoring 40 || e2e_fail "start-up did not find the device and hide the main window"
sleep 1.5
lock_cover_down || e2e_fail "a cover is up while the device answers"

up_ms=$(lock_silence_until_cover 20) || e2e_fail "no cover within 20 s of the device going silent"
e2e_log "cover up $up_ms ms after the device went silent (ideal 1 s x (2 + 1) = 3000 ms; each silent tick also waits 1000 ms for the echo)"
# Two ticks cannot have missed yet within 2 s: the cover must not come on the first misses.
[ "$up_ms" -ge 2000 ] || e2e_fail "cover up after only $up_ms ms: the threshold was not honoured"
sleep 1
cover=$(lock_cover_id) || e2e_fail "the cover went by itself"
e2e_screenshot lock_cover
diff=$(lock_difference "$E2E_ARTIFACTS/lock_cover.png" "$picture")
e2e_log "screen differs from SG.jpg stretched to $LOCK_SCREEN_SIZE by RMSE $diff"
awk -v d="$diff" 'BEGIN { exit !(d < 0.05) }' || e2e_fail "the screen does not show SG.jpg stretched (RMSE $diff)"
lock_cover_on_top || e2e_fail "the cover is not the uppermost window"
e2e_program_running || e2e_fail "the program ended"

# Alt+F4 into the cover (it has the focus: it activates itself every 10 ms).
xdotool windowfocus "$cover" 2>/dev/null
xdotool key alt+F4
# Wine takes up to 2 s to unmap a full-screen window when no window manager runs; a cover
# closed and opened again at a later tick would be a new X window.
sleep 3
[ "$(lock_cover_id)" = "$cover" ] || e2e_fail "Alt+F4 closed the cover"
e2e_screenshot lock_cover_after_alt_f4
lock_cover_on_top || e2e_fail "the cover is not the uppermost window after Alt+F4"

gone_ms=$(lock_answer_until_gone 10) || e2e_fail "the cover stayed 10 s after the device answered again"
e2e_log "cover gone $gone_ms ms after the device answered again (ideal: within one period, 1000 ms)"
sleep 1
lock_cover_down || e2e_fail "a cover came back while the device answers"
e2e_screenshot lock_cover_gone
e2e_program_running || e2e_fail "the program ended"
printf 'cover_up_ms %s\ncover_gone_ms %s\nrmse %s\n' "$up_ms" "$gone_ms" "$diff" >"$E2E_ARTIFACTS/lock_cover-figures.txt"
