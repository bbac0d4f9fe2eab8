#!/usr/bin/env bash
# Pages that are not ours (a captive portal's login page, with brackets but no markers) are
# never taken for an update: first as the first page, then as the second. Each time the check
# makes its three attempts, shows nothing, opens nothing, and start-up goes on.
# e2e-timeout: 240
. "$(dirname "$0")/lib/lib.sh"
e2e_begin
. "$(dirname "$0")/update/common.sh"

portal='<html><title>[Hotel] Wi-Fi login</title><form action="/login">[room]</form></html>'
update_record_browser
e2e_http_start update

run_once() {
  e2e_program_dir
  e2e_start_program
  e2e_wait_for 60 update_startup_went_on || e2e_fail "$1: start-up did not go on"
  local box
  box=$(e2e_wait_window 30 "$UPDATE_MESSAGE_TITLE") || e2e_fail "$1: no setup prompt"
  e2e_program_running || e2e_fail "$1: the program ended"
  update_browser_opened && e2e_fail "$1: the browser was asked to open something"
  e2e_stop_program
}

e2e_http_route /vtrq.txt --body "$portal"
run_once "portal as first page"
# Three attempts (another build's program on this machine may add to the first-page count).
[ "$(update_request_lines | grep -c '^GET /vtrq.txt ')" -ge 3 ] ||
  e2e_fail "portal as first page: requests: $(update_request_lines)"
[ "$(update_second_page_requests)" = 0 ] || e2e_fail "a second page was fetched"

: >"$E2E_HTTP_LOG"
update_serve_first_page
e2e_http_route "$UPDATE_SECOND_PATH" --body "$portal"
run_once "portal as second page"
[ "$(update_second_page_requests)" = 3 ] ||
  e2e_fail "portal as second page: requests: $(update_request_lines)"
e2e_log "foreign pages were not taken for an update"
