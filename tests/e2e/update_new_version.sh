#!/usr/bin/env bash
# A published version 0.9 against the program's 1.0: the notice "软件版本已更新" comes first,
# with no settings file touched; once it is dismissed the browser is asked to open the download
# address and the program ends itself with exit code 0. Both pages were requested with the
# program's user agent and its three default header lines.
# e2e-timeout: 180
. "$(dirname "$0")/lib/lib.sh"
e2e_begin
. "$(dirname "$0")/update/common.sh"

update_record_browser
update_serve "<html>vantrelver[0.9] vantreldl[http://@HOST@/dl/Vantrel-0.9.exe]</html>"
e2e_program_dir
e2e_start_program

box=$(e2e_wait_window 60 "$UPDATE_MESSAGE_TITLE") || e2e_fail "no update notice"
sleep 1
e2e_screenshot update_new_version_notice
update_no_settings_files || e2e_fail "a settings file exists while the notice is up"
update_browser_opened && e2e_fail "the browser opened before the notice was dismissed"
e2e_program_running || e2e_fail "the program ended before the notice was dismissed"

xdotool key --window "$box" Return
e2e_wait_exit 30 || e2e_fail "the program did not end after the notice"
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "exit code $E2E_EXIT_CODE"
e2e_wait_for 20 update_browser_opened || e2e_fail "the browser was not asked to open anything"
opened=$(head -n1 "$UPDATE_BROWSER_LOG")
e2e_log "browser asked to open: $opened"
[ "$opened" = "http://127.0.0.1:$E2E_HTTP_PORT/dl/Vantrel-0.9.exe" ] ||
  e2e_fail "the browser was asked to open [$opened]"
update_no_settings_files || e2e_fail "a settings file was touched"

lines=$(update_request_lines)
[ "$(sed -n 1p <<<"$lines")" = "GET /vtrq.txt HTTP/1.1" ] &&
  [ "$(sed -n 2p <<<"$lines")" = "GET $UPDATE_SECOND_PATH HTTP/1.1" ] ||
  e2e_fail "requests: $lines"
for i in 0 1; do
  headers=$(e2e_http_requests --field headers --index $i)
  grep -qx 'User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)' <<<"$headers" ||
    e2e_fail "request $i has no user agent line: $headers"
  grep -qx 'Accept-Language: zh-cn' <<<"$headers" || e2e_fail "request $i: $headers"
  grep -q '^Accept: image/gif, .*\*/\*$' <<<"$headers" || e2e_fail "request $i: $headers"
done
e2e_http_requests --field headers --index 0 |
  grep -qx "Referer: http://127.0.0.1:$E2E_HTTP_PORT/vtrq.txt" || e2e_fail "no Referer line"
e2e_log "notice shown, download page opened, program ended with 0"
