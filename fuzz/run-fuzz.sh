#!/bin/sh
# run-fuzz.sh TARGET SEED_DIR SECONDS [MAX_LEN]
# Runs one libFuzzer target for a bounded time over a scratch copy of its
# seed corpus, with inputs of at most MAX_LEN bytes (4096 unless given).
# Any crash, leak or sanitizer report fails the run; the input that caused
# it is left in the scratch folder and printed.
set -eu
target=$1; seeds=$2; seconds=$3; max_len=${4:-4096}
work=$(mktemp -d)
mkdir -p "$work/corpus"
if [ -d "$seeds" ]; then cp -r "$seeds/." "$work/corpus/"; fi
cd "$work"
"$target" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=0 corpus >"$work/log" 2>&1 || {
  tail -40 "$work/log"
  echo "run-fuzz: $(basename "$target") failed; inputs kept in $work" >&2
  exit 1
}
grep -E '^(#[0-9]+ +DONE|Done)' "$work/log" | tail -1 || true
rm -rf "$work"
