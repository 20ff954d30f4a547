#!/bin/bash
# test-all.sh BUILD
# Runs every test suite: the rules natively under the sanitizers, the short
# fuzz runs, and everything Windows under Wine. Runs them all even when one
# fails, then prints one closing count.
set -u
build=$1
jobs=$(nproc)
passed=0
failed=0
status=0

run_suite() {
  local name=$1; shift
  echo "=== $name"
  local log
  log=$(mktemp)
  "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$line" ]; then
    local total bad
    bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
    total=$(echo "$line" | sed -E 's/.* tests failed out of ([0-9]+).*/\1/')
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  if [ "$rc" -ne 0 ]; then
    status=1
    if [ -z "$line" ]; then failed=$((failed + 1)); fi
  fi
  rm -f "$log"
}

run_suite "rules (native, sanitizers)" \
  ctest --test-dir "$build/host" --output-on-failure -j "$jobs"
run_suite "fuzz (short runs)" \
  ctest --test-dir "$build/fuzz" --output-on-failure -j "$jobs"
export WINE_SESSION_KEEPER="$build/win/bin/desktop_keeper.exe"
run_suite "Windows (under Wine)" \
  scripts/wine-session.sh "$build/win/wine-prefix" \
  ctest --test-dir "$build/win" --output-on-failure

echo
echo "all suites: $passed passed, $failed failed"
exit $status
