#!/usr/bin/env bash
# The real Vantrel.exe starts under Wine on the virtual display and stays up.
. "$(dirname "$0")/lib/lib.sh"
e2e_begin

e2e_program_dir
e2e_start_program

# Up for five seconds: long enough for a missing DLL, a bad import or an early crash to show.
sleep 5
if ! e2e_program_running; then
  wait "$E2E_PROGRAM_PID"
  rc=$?
  e2e_log "program output:"; cat "$E2E_TMP/program.log" >&2
  e2e_fail "Vantrel.exe ended within 5 s (exit code $rc)"
fi
e2e_log "Vantrel.exe is running"

# No address is saved yet, so the first thing shown is the setup prompt; once it is dismissed
# the main window appears with the setup panel.
box=$(e2e_wait_window 60 "信息：") || e2e_fail "no setup prompt \"信息：\" within 60 s"
e2e_log "setup prompt found (id $box)"
xdotool key --window "$box" Return
id=$(e2e_wait_window 20 "  Vantrel") || e2e_fail "no main window \"  Vantrel\" after the prompt"
e2e_wait_for 10 e2e_window_visible "$id" || e2e_fail "the main window is not shown"
e2e_log "main window shown (id $id)"
e2e_screenshot smoke
e2e_program_running || e2e_fail "Vantrel.exe ended while being observed"
