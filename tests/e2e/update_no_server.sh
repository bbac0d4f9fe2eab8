#!/usr/bin/env bash
# Nothing listens on the update port: the check gives up after its bounded attempts and
# start-up goes on (settings files read, setup prompt shown) well within a minute.
# e2e-timeout: 180
. "$(dirname "$0")/lib/lib.sh"
e2e_begin
. "$(dirname "$0")/update/common.sh"

port=$(e2e_update_port) || e2e_skip "the program's update address is not on loopback"
# Keep other scenarios' servers off the port while this one runs.
exec 8>"${TMPDIR:-/tmp}/vantrel-e2e-port-$port.lock"
flock -w 600 8 || e2e_fail "port $port stayed busy"

e2e_program_dir
started=$(date +%s)
e2e_start_program
e2e_wait_for 60 update_startup_went_on || e2e_fail "start-up did not go on without a server"
e2e_log "start-up went on after $(($(date +%s) - started)) s"
e2e_wait_window 30 "$UPDATE_MESSAGE_TITLE" >/dev/null || e2e_fail "no setup prompt"
e2e_program_running || e2e_fail "the program ended"
