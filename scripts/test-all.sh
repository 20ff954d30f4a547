#!/bin/bash
# test-all.sh BUILD ARCH WHY
# Runs every test suite: the rules natively under the sanitizers, the short
# fuzz runs, the 32-bit deliverables checked as files, and everything
# Windows under Wine on the build ARCH (x86 or x64, picked by
# scripts/windows-arch.sh for the reason WHY). Runs them all even when one
# fails, then prints which build the Windows suites ran on and one closing
# count.
# QUILLAN_CODEPAGES names the Windows system code pages the real program is
# tested under: the whole Windows suite runs under 932, and every other
# code page named (1252, 65001) adds a run of the program's end-to-end
# tests in a session of its own.
set -u
build=$1 arch=$2 why=$3
codepages=${QUILLAN_CODEPAGES:-932 1252 65001}
jobs=$(nproc)
passed=0
failed=0
status=0

windir="$build/win"
headline="Windows suites: x86 build, the 32-bit deliverables themselves ($why); also checked statically"
if [ "$arch" = x64 ]; then
  windir="$build/win-x64"
  headline="Windows suites: x64 build ($why); 32-bit deliverables checked statically"
fi
export WINE_ARCH=$arch
echo "$headline"

run_suite() {
  local name=$1; shift
  echo "=== $name"
  local started=$SECONDS
  local log
  log=$(mktemp)
  "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  # Every count the suite printed: ctest's, and the "N passed, N failed"
  # of the test package runner (its lines end in CR LF) and of the static
  # check.
  local counts kind first bad
  counts=$(tr -d '\r' <"$log" | sed -nE \
    -e 's/.* tests passed, ([0-9]+) tests failed out of ([0-9]+).*/total \2 \1/p' \
    -e 's/^([0-9]+) passed, ([0-9]+) failed$/passed \1 \2/p')
  while read -r kind first bad; do
    if [ "$kind" = total ]; then first=$((first - bad)); fi
    passed=$((passed + first))
    failed=$((failed + bad))
  done <<<"$counts"
  if [ "$rc" -ne 0 ]; then
    status=1
    if [ -z "$counts" ]; then failed=$((failed + 1)); fi
  fi
  rm -f "$log"
  echo "--- $name: $((SECONDS - started)) s"
}

run_suite "rules (native, sanitizers)" \
  ctest --test-dir "$build/host" --output-on-failure -j "$jobs"
run_suite "fuzz (short runs)" \
  ctest --test-dir "$build/fuzz" --output-on-failure -j "$jobs"
# The binaries users get, read as files: no Wine needed, so on every machine.
run_suite "32-bit deliverables (static check)" \
  python3 tests/deliverables/check_pe.py x86 "$build/win/bin"
if [ "$arch" = x64 ]; then
  run_suite "x64 build (static check)" \
    python3 tests/deliverables/check_pe.py x64 "$windir/bin"
fi
export WINE_SESSION_KEEPER="$windir/bin/desktop_keeper.exe"
run_suite "Windows code page 932, $arch build (Unix-side tests, then the Windows test package)" \
  env WINE_CODEPAGE=932 scripts/wine-session.sh "$windir/wine-prefix" \
  scripts/windows-suite.sh "$windir"
for codepage in $codepages; do
  if [ "$codepage" = 932 ]; then continue; fi
  run_suite "Windows code page $codepage, $arch build (the program end to end)" \
    scripts/test-codepage.sh "$windir" "$codepage"
done

echo
echo "$headline"
# One word before the count, so that a reader of closing lines takes it.
echo "total: $passed passed, $failed failed"
exit $status
