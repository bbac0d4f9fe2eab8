#!/usr/bin/env bash
# First run without a saved address: the prompt comes before the main window, then the window
# shows the setup panel, and "zq.ini"/"cs.ini" exist with zero length. An address typed into
# the setup box is refused while its host is silent and saved with Enter once it answers: "ip.ini"
# holds it as typed, "zq.ini" 2 and "cs.ini" 4, and the window stays open on the settings.
# e2e-timeout: 240
. "$(dirname "$0")/lib/lib.sh"
e2e_begin
. "$(dirname "$0")/spine/common.sh"

spine_serve_current_version
e2e_program_dir
e2e_start_program

prompt=$(e2e_wait_window 60 "信息：") || e2e_fail "no setup prompt"
sleep 1
e2e_screenshot spine_setup_prompt
spine_main_hidden || e2e_fail "the main window is visible behind the first prompt"
dir=$E2E_PROGRAM_DIR
[ ! -e "$dir/ip.ini" ] || e2e_fail "ip.ini was written"
for f in zq.ini cs.ini; do
  [ -f "$dir/$f" ] && [ ! -s "$dir/$f" ] || e2e_fail "$f is missing or not empty"
done

spine_dismiss "$prompt"
main=$(spine_wait_main_visible 20) || e2e_fail "the main window did not show after the prompt"
sleep 1
e2e_screenshot spine_setup_panel
spine_pixel_white 8 40 || e2e_fail "the setup panel does not cover the settings"

e2e_nshost_create spsetup
addr=$E2E_NSHOST_ADDR
e2e_nshost_silent spsetup

# Typed with a blank on each side: the probe uses it trimmed, the file keeps it as typed.
spine_type_address "$main" " $addr "
notfound=$(e2e_wait_window 15 "信息：") || e2e_fail "no \"Windows 找不到此IP\" for a silent host"
sleep 0.5
e2e_screenshot spine_setup_not_found
[ ! -e "$dir/ip.ini" ] || e2e_fail "a silent address was saved"
spine_dismiss "$notfound"
e2e_wait_for 10 spine_no_message_box || e2e_fail "the message box stayed"

e2e_nshost_answer spsetup
spine_press_enter "$main"
e2e_wait_for 15 test -s "$dir/ip.ini" || e2e_fail "the address was not saved"
sleep 1
[ "$(cat "$dir/ip.ini")" = " $addr " ] || e2e_fail "ip.ini holds [$(cat "$dir/ip.ini")]"
[ "$(cat "$dir/zq.ini")" = 2 ] || e2e_fail "zq.ini holds [$(cat "$dir/zq.ini")]"
[ "$(cat "$dir/cs.ini")" = 4 ] || e2e_fail "cs.ini holds [$(cat "$dir/cs.ini")]"
e2e_window_visible "$main" || e2e_fail "the main window closed after the confirmation"
spine_no_message_box || e2e_fail "a message box appeared after the confirmation"
# The settings are uncovered again: 分组框1's frame shows where the panel was white.
spine_pixel_white 8 40 && e2e_fail "the setup panel still covers the settings"
e2e_screenshot spine_main_window
e2e_program_running || e2e_fail "the program ended"
e2e_log "setup saved $addr and kept the window open"
