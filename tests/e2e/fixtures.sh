#!/usr/bin/env bash
# The fixtures themselves: a namespace test host answers pings sent by Wine, stops answering
# when told, and the loopback HTTP server serves and records.
. "$(dirname "$0")/lib/lib.sh"
e2e_begin

ping_exe="$WINEPREFIX/drive_c/windows/system32/ping.exe"
# One echo request through Wine's ICMP functions; true when it was answered.
wine_ping() {
  "$VANTREL_WINE" "$ping_exe" -n 1 -w 1000 "$1" 9>&- </dev/null >"$E2E_TMP/ping.out" 2>&1
  e2e_log "ping $1: $(grep -a -m1 'Reply\|timed\|fail\|rror' "$E2E_TMP/ping.out" | tr -d '\r')"
  grep -aq "Reply from $1" "$E2E_TMP/ping.out"
}
# A reply can be lost right after a change of state: allow a second try.
answers() { wine_ping "$1" || wine_ping "$1"; }

e2e_nshost_create fix
addr=$E2E_NSHOST_ADDR
e2e_log "test host at $addr"
answers "$addr" || e2e_fail "no answer from the test host through Wine's ICMP"
e2e_nshost_silent fix
wine_ping "$addr" && e2e_fail "the silenced test host still answers"
e2e_nshost_answer fix
answers "$addr" || e2e_fail "the test host does not answer again"
e2e_nshost_remove fix
ip netns list | grep -q '^vtl-fix' && e2e_fail "namespace left behind"

e2e_http_start
e2e_http_route /page --body 'vantrelver[1.0]' --header 'X-Test: 1'
body=$(python3 - "$E2E_HTTP_PORT" <<'PY'
import sys, urllib.request
r = urllib.request.urlopen(urllib.request.Request(
    f"http://127.0.0.1:{sys.argv[1]}/page", data=b"a=1", headers={"X-Order": "z"}))
print(r.status, r.headers["X-Test"], r.read().decode())
PY
)
[ "$body" = "200 1 vantrelver[1.0]" ] || e2e_fail "unexpected page: $body"
[ "$(e2e_http_requests --field request_line)" = "POST /page HTTP/1.1" ] || e2e_fail "request line not recorded"
e2e_http_requests --field headers | grep -qx 'X-Order: z' || e2e_fail "header lines not recorded"
[ "$(e2e_http_requests --field body)" = "a=1" ] || e2e_fail "request body not recorded"
e2e_log "fixtures work"
