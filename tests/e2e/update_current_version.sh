#!/usr/bin/env bash
# The published version equals the program's own "1.0": no notice, no browser, and start-up
# goes on (settings files read, setup prompt for the missing address). Each page is asked for
# once.
# e2e-timeout: 180
. "$(dirname "$0")/lib/lib.sh"
e2e_begin
. "$(dirname "$0")/update/common.sh"

update_record_browser
update_serve "vantreldl[http://@HOST@/dl/Vantrel.exe] vantrelver[1.0]"
e2e_program_dir
e2e_start_program

e2e_wait_for 60 update_startup_went_on || e2e_fail "start-up did not go on after the check"
prompt=$(e2e_wait_window 30 "$UPDATE_MESSAGE_TITLE") || e2e_fail "no setup prompt"
sleep 1
e2e_screenshot update_current_version
e2e_program_running || e2e_fail "the program ended"
update_browser_opened && e2e_fail "the browser was asked to open $(cat "$UPDATE_BROWSER_LOG")"
update_request_lines | head -n1 | grep -qx 'GET /vtrq.txt HTTP/1.1' ||
  e2e_fail "requests: $(update_request_lines)"
[ "$(update_second_page_requests)" = 1 ] || e2e_fail "requests: $(update_request_lines)"
e2e_log "same version: start-up went on"
