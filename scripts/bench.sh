#!/bin/bash
# bench.sh BUILD
# Runs the benchmark programs under one warm Wine server and prints one
# table of figures. Figures only: nothing here fails because the machine
# is slow.
set -u
build=$(realpath "$1")
bin="$build/win/bin"
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$root/scripts/wine-session.sh" "$build/win/bench-prefix" bash -c "
  '$root/scripts/wine-exec.sh' '$bin/one_click_bench.exe' 31 >'$out/one-click.txt' 2>&1
  '$root/scripts/wine-exec.sh' '$bin/bench_loader.exe' >'$out/loader.txt' 2>&1
" >/dev/null

pick() { sed -nE "$2" "$out/$1" | head -1; }
quillan=$(pick one-click.txt 's/.*Quillan\.exe.*median +([0-9.]+) ms.*/\1/p')
minimal=$(pick one-click.txt 's/.*minimal clipboard writer +median +([0-9.]+) ms.*/\1/p')
ratio=$(pick one-click.txt 's/^ +ratio +([0-9.]+).*/\1/p')
small=$(pick loader.txt 's/.*after the 1 MB file +([0-9]+) +([0-9]+) +([0-9]+).*/\2/p')
large=$(pick loader.txt 's/.*after the 50 MB file +([0-9]+) +([0-9]+) +([0-9]+).*/\2/p')
growth=$(pick loader.txt 's/.*peak growth from 1 MB to 50 MB: (-?[0-9]+) KB.*/\1/p')
baseline=$(pick loader.txt 's/.*baseline, pre-split lines: +([0-9.]+) s.*/\1/p')
loader=$(pick loader.txt 's/.*LoadClipList: +([0-9.]+) s.*/\1/p')
loader_ratio=$(pick loader.txt 's/.*ratio: ([0-9.]+).*/\1/p')
exe_size=$(stat -c %s "$bin/Quillan.exe")
dll_size=$(stat -c %s "$bin/Morvask.dll")

row() { printf '| %-46s | %-22s | %-20s |\n' "$1" "$2" "$3"; }
echo
echo "Quillan figures ($(nproc) cores, $(wine --version), $(date -u +%Y-%m-%d))"
row "figure" "measured" "target"
row "----------------------------------------------" "----------------------" "--------------------"
row "one-click copy, Quillan.exe /m=.. /g /e" "${quillan:-?} ms (median)" ""
row "minimal clipboard-writing program" "${minimal:-?} ms (median)" ""
row "one-click ratio" "${ratio:-?}" "at most 1.5"
row "loader, 100,000 lines of 60 bytes" "${loader:-?} s" ""
row "adding the same lines pre-split (baseline)" "${baseline:-?} s" ""
row "loader ratio" "${loader_ratio:-?}" "at most 1.2"
row "loader peak pagefile, 1 MB file, no CR LF" "${small:-?} KB" ""
row "loader peak pagefile, 50 MB file, no CR LF" "${large:-?} KB" "same within 1 MB"
row "peak growth from 1 MB to 50 MB" "${growth:-?} KB" "under 1024 KB"
row "Quillan.exe" "$exe_size bytes" ""
row "Morvask.dll" "$dll_size bytes" ""
row "both deliverables" "$(( (exe_size + dll_size) / 1024 )) KB" "at most 100 KB"
if [ -z "$quillan" ] || [ -z "$loader" ]; then
  echo; echo "raw output:"; cat "$out/one-click.txt" "$out/loader.txt"
fi
