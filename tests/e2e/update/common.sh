# Shared by the update scenarios (tests/e2e/update_*.sh), sourced after lib/lib.sh and
# e2e_begin: the two update pages on the program's update port, a browser that records what it
# was asked to open, and the program's own view of start-up going on.

UPDATE_MESSAGE_TITLE="信息："

# The second page's path is unique to this run: on a shared machine a program of another build
# may ask the fixed update port for the first page too, but never for this one.
UPDATE_SECOND_PATH="/v2-$$-$RANDOM.txt"

# Serves the first page pointing at the second and the second page with body $1, in which
# @HOST@ stands for the server's "127.0.0.1:port".
update_serve() {
  e2e_http_start update
  update_serve_first_page
  e2e_http_route "$UPDATE_SECOND_PATH" --body "${1//@HOST@/127.0.0.1:$E2E_HTTP_PORT}"
}

update_serve_first_page() {
  e2e_http_route /vtrq.txt --body "vtrq1.0[http://127.0.0.1:$E2E_HTTP_PORT$UPDATE_SECOND_PATH]"
}

# Wine opens web addresses with winebrowser, which starts the programs listed under
# HKCU\Software\Wine\WineBrowser\Browsers: point it at a script that writes down its argument.
UPDATE_BROWSER_LOG=""
update_record_browser() {
  UPDATE_BROWSER_LOG="$E2E_TMP/browser.log"
  : >"$UPDATE_BROWSER_LOG"
  cat >"$E2E_TMP/browser.sh" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$*" >>"$UPDATE_BROWSER_LOG"
SCRIPT
  chmod +x "$E2E_TMP/browser.sh"
  "$VANTREL_WINE" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ \
    /d "$E2E_TMP/browser.sh" /f 9>&- >/dev/null 2>&1 || e2e_fail "cannot set the browser"
  # Keep the scenario's exit status for e2e_cleanup, which reads it from $?.
  trap 'update_rc=$?; update_forget_browser; (exit $update_rc); e2e_cleanup' EXIT
}

update_forget_browser() {
  "$VANTREL_WINE" reg delete 'HKCU\Software\Wine\WineBrowser' /v Browsers /f 9>&- \
    >/dev/null 2>&1
  return 0
}

update_browser_opened() { [ -s "$UPDATE_BROWSER_LOG" ]; }

# Start-up went on past the check: without a saved address it reads the settings files
# (creating "zq.ini" and "cs.ini" empty) and shows the setup prompt.
update_startup_went_on() {
  [ -f "$E2E_PROGRAM_DIR/zq.ini" ] && [ -f "$E2E_PROGRAM_DIR/cs.ini" ]
}

update_message_box() { e2e_find_window "$UPDATE_MESSAGE_TITLE" | head -n1; }

update_no_settings_files() {
  local f
  for f in ip.ini zq.ini cs.ini; do
    [ ! -e "$E2E_PROGRAM_DIR/$f" ] || return 1
  done
}

# Requests the server received, one request line each.
update_request_lines() { e2e_http_requests --field request_line; }

# How many requests asked for the second page.
update_second_page_requests() { update_request_lines | grep -c "^GET $UPDATE_SECOND_PATH HTTP/1.1\$"; }
