#!/usr/bin/env bash
# A new version whose download address is not a web address ("file:" naming a program): the
# notice is shown and the program ends with exit code 0, but nothing is opened.
# e2e-timeout: 180
. "$(dirname "$0")/lib/lib.sh"
e2e_begin
. "$(dirname "$0")/update/common.sh"

update_record_browser
update_serve "vantrelver[0.9]vantreldl[file:///C:/windows/system32/notepad.exe]"
e2e_program_dir
e2e_start_program

box=$(e2e_wait_window 60 "$UPDATE_MESSAGE_TITLE") || e2e_fail "no update notice"
sleep 0.5
xdotool key --window "$box" Return
e2e_wait_exit 30 || e2e_fail "the program did not end after the notice"
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "exit code $E2E_EXIT_CODE"
sleep 5
notepad=$(xdotool search --name 'Notepad' 2>/dev/null | head -n1)
[ -z "$notepad" ] || e2e_fail "the file: address was opened (Notepad window $notepad)"
update_browser_opened && e2e_fail "the browser was asked to open $(cat "$UPDATE_BROWSER_LOG")"
update_no_settings_files || e2e_fail "a settings file was touched"
e2e_log "file: address not opened; program ended with 0"
