#!/usr/bin/env bash
# The headless demonstration (scripts/demo, the run command without a display) on this build:
# it prints its whole timeline in order with a screenshot of the cover, exits 0 and leaves no
# namespace, program or virtual display behind. Interrupted like Ctrl+C once monitoring, it
# cleans up just the same. Without root the phone is 127.0.0.1 and the timeline stops at
# monitoring.
# e2e-timeout: 600
. "$(dirname "$0")/lib/lib.sh"
trap 'rm -rf "$E2E_TMP"' EXIT

demo=$VANTREL_SOURCE_DIR/scripts/demo
# The build's own prefix: the scenarios run one at a time, so nothing else uses it now.
export VANTREL_WINEPREFIX=$VANTREL_BUILD_DIR/wineprefix
unset DISPLAY

# Processes the demo left behind: everything it starts (virtual display, Wine processes, the
# update server) runs with the prefix in its environment.
leftovers() {
  local e
  for e in /proc/[0-9]*/environ; do
    grep -qz "^WINEPREFIX=$VANTREL_WINEPREFIX\$" "$e" 2>/dev/null || continue
    e=${e%/environ}
    ps -o pid=,args= -p "${e#/proc/}"
  done
}
no_namespace() { ! ip netns list 2>/dev/null | grep -q '^vtl-demo\b'; }

# --- A whole run -----------------------------------------------------------------------------
"$demo" --build-dir "$VANTREL_BUILD_DIR" >"$E2E_TMP/demo.out" 2>&1
rc=$?
cat "$E2E_TMP/demo.out" >&2
[ $rc -eq 0 ] || e2e_fail "scripts/demo exited with $rc"

steps=("started Vantrel.exe" "monitoring: main window hidden, tray icon up")
if grep -q 'namespace test host' "$E2E_TMP/demo.out"; then
  steps+=("phone gone" "cover up after" "screenshot of the cover" "phone back" "cover gone after" "timeline completed")
else
  steps+=("cannot go away")
fi
line=0
for s in "${steps[@]}"; do
  n=$(grep -n -F "$s" "$E2E_TMP/demo.out" | head -n1 | cut -d: -f1)
  [ -n "$n" ] || e2e_fail "the timeline has no line '$s'"
  [ "$n" -gt "$line" ] || e2e_fail "'$s' is out of order"
  line=$n
done
# Each step is timed from the start: "  12.3 s  ...".
grep -E '^ *[0-9]+\.[0-9] s  ' "$E2E_TMP/demo.out" | awk '{ if ($1 + 0 < last) exit 1; last = $1 + 0 }' ||
  e2e_fail "the timeline's times go backwards"
shot=$(sed -n 's/.*screenshot of the cover: //p' "$E2E_TMP/demo.out")
if [ -n "$shot" ]; then
  [ -s "$shot" ] || e2e_fail "no screenshot at $shot"
  # The cover shows SG.jpg: not a black screen.
  [ "$(convert "$shot" -format '%[fx:maxima > 0.2]' info:)" = 1 ] || e2e_fail "the screenshot of the cover is dark"
fi
sleep 1
no_namespace || e2e_fail "the demo left its namespace behind"
left=$(leftovers)
[ -z "$left" ] || e2e_fail "the demo left processes behind: $left"

# --- Interrupted like Ctrl+C -------------------------------------------------------------------
# Job control gives the demo a process group of its own, as a terminal's foreground job has;
# Ctrl+C sends SIGINT to that whole group.
set -m
"$demo" --build-dir "$VANTREL_BUILD_DIR" >"$E2E_TMP/demo-int.out" 2>&1 &
pid=$!
set +m
grep_monitoring() { grep -q 'monitoring:' "$E2E_TMP/demo-int.out"; }
if ! e2e_wait_for 240 grep_monitoring; then
  kill -INT -- -"$pid" 2>/dev/null
  cat "$E2E_TMP/demo-int.out" >&2
  e2e_fail "the second run did not reach monitoring"
fi
kill -INT -- -"$pid"
ended() { ! kill -0 "$pid" 2>/dev/null; }
e2e_wait_for 30 ended || { kill -KILL -- -"$pid"; e2e_fail "the demo did not end within 30 s of Ctrl+C"; }
wait "$pid"
rc=$?
cat "$E2E_TMP/demo-int.out" >&2
[ $rc -ne 0 ] || e2e_fail "an interrupted demo reported success"
grep -q 'interrupted' "$E2E_TMP/demo-int.out" || e2e_fail "the demo did not say it was interrupted"
sleep 1
no_namespace || e2e_fail "the interrupted demo left its namespace behind"
left=$(leftovers)
[ -z "$left" ] || e2e_fail "the interrupted demo left processes behind: $left"
e2e_log "demo: timeline complete, clean after a whole run and after Ctrl+C"
