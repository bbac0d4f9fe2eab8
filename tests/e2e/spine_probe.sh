#!/usr/bin/env bash
# The Win32 echo against a namespace test host: answered with success while the host answers,
# no successful reply once it is silent or its link is down. Runs the Windows test program's
# SendEcho.NamespaceTestHost case with the host's address.
# e2e-timeout: 180
. "$(dirname "$0")/lib/lib.sh"
e2e_begin

tests_exe=$VANTREL_BUILD_DIR/tests/vantrel_win_tests.exe
[ -f "$tests_exe" ] || e2e_fail "no Windows test program at $tests_exe"

e2e_nshost_create spprobe
addr=$E2E_NSHOST_ADDR

echo_case() {
  VANTREL_TEST_HOST=$addr VANTREL_TEST_HOST_EXPECT=$1 \
    "$VANTREL_WINE" "$tests_exe" --gtest_filter=SendEcho.NamespaceTestHost 9>&- \
    >"$E2E_TMP/echo-$1.log" 2>&1
  local rc=$?
  grep -q '\[  PASSED  \] 1 test' "$E2E_TMP/echo-$1.log" || rc=1
  [ $rc -eq 0 ] || { cat "$E2E_TMP/echo-$1.log" >&2; return 1; }
}

echo_case answer || e2e_fail "the answering host was not answered with success"
e2e_nshost_silent spprobe
echo_case silent || e2e_fail "the silent host still counts as answering"
e2e_nshost_answer spprobe
echo_case answer || e2e_fail "the host was not answered again"
e2e_nshost_down spprobe
echo_case silent || e2e_fail "the host with its link down still counts as answering"
e2e_log "echo to $addr: answered, silent, answered, down"
