#!/bin/bash
# bench.sh WINDIR
# Runs the benchmark programs under one warm Wine server and prints one
# table of figures. Figures only: nothing here fails because the machine
# is slow.
set -u
windir=$(realpath "$1")
bin="$windir/bin"
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The desktop keeper holds Wine's desktop open between runs, so that no run
# pays for the desktop starting again after the last one closed it.
WINE_SESSION_KEEPER="$bin/desktop_keeper.exe" \
"$root/scripts/wine-session.sh" "$windir/bench-prefix" bash -c "
  '$root/scripts/wine-exec.sh' '$bin/one_click_bench.exe' 31 >'$out/one-click.txt' 2>&1
  '$root/scripts/wine-exec.sh' '$bin/main_window_bench.exe' 31 >'$out/main-window.txt' 2>&1
  '$root/scripts/wine-exec.sh' '$bin/bench_loader.exe' >'$out/loader.txt' 2>&1
  '$root/scripts/wine-exec.sh' '$bin/filter_bench.exe' >'$out/filter.txt' 2>&1
" >/dev/null

pick() { sed -nE "$2" "$out/$1" | head -1; }
# "186.1 / 114.8 / 242.9 ms" (median / min / max) from the line of
# PrintTimes whose label starts with $2.
times() {
  pick "$1" "s#^ +$2.* median +([0-9.]+) ms +min +([0-9.]+) ms +max +([0-9.]+) ms.*#\\1 / \\2 / \\3 ms#p"
}
ratio_of() { pick "$1" 's/^ +ratio of medians +([0-9.]+).*/\1/p'; }
quillan=$(times one-click.txt 'Quillan\.exe /m=')
minimal=$(times one-click.txt 'minimal clipboard writer')
ratio=$(ratio_of one-click.txt)
shown=$(times main-window.txt 'Quillan\.exe, ClipData')
empty=$(times main-window.txt 'empty dialog')
shown_ratio=$(ratio_of main-window.txt)
entries=$(pick main-window.txt 's/.*when the window showed.*: (-?[0-9]+).*/\1/p')
small=$(pick loader.txt 's/.*after the 1 MB file +([0-9]+) +([0-9]+) +([0-9]+).*/\2/p')
large=$(pick loader.txt 's/.*after the 50 MB file +([0-9]+) +([0-9]+) +([0-9]+).*/\2/p')
growth=$(pick loader.txt 's/.*peak growth from 1 MB to 50 MB: (-?[0-9]+) KB.*/\1/p')
baseline=$(pick loader.txt 's/.*baseline, pre-split lines: +([0-9.]+) s.*/\1/p')
loader=$(pick loader.txt 's/.*LoadClipList: +([0-9.]+) s.*/\1/p')
loader_ratio=$(pick loader.txt 's/.*ratio: ([0-9.]+).*/\1/p')
# "1.23 ms (0.045)" for one keystroke of filter_bench's line
# of $1 entries, the one after the label $2.
keystroke() {
  pick filter.txt "s#^$1 entries:.*\| $2 ([0-9.]+) ms \(([0-9.]+)\).*#\\1 ms (\\2)#p"
}
list_load() { pick filter.txt "s#^$1 entries: load ([0-9.]+) ms.*#\\1 ms#p"; }
exe_size=$(stat -c %s "$bin/Quillan.exe")
dll_size=$(stat -c %s "$bin/Morvask.dll")

row() { printf '| %-46s | %-26s | %-20s |\n' "$1" "$2" "$3"; }
cpu=$(sed -nE 's/^model name\s*:\s*//p' /proc/cpuinfo | head -1)
memory=$(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)
debian=$(cat /etc/debian_version 2>/dev/null || echo "?")
echo
echo "Quillan figures, $(date -u +%Y-%m-%d)"
echo "machine: ${cpu:-unknown processor}, $(nproc) cores, $memory, Debian $debian, $(wine --version), Xvfb"
row "figure" "measured" "target"
row "----------------------------------------------" "--------------------------" "--------------------"
row "one-click copy, Quillan.exe /m=.. /g /e" "${quillan:-?}" ""
row "minimal program writing the same 3 formats" "${minimal:-?}" ""
row "one-click ratio of medians" "${ratio:-?}" "at most 1.1"
row "main window visible, 1,000 entries" "${shown:-?}" ""
row "empty dialog of the same template" "${empty:-?}" ""
row "main window ratio of medians" "${shown_ratio:-?}" "at most 1.2"
row "entries listed when the window showed" "${entries:-?}" "1000"
row "loader, 100,000 lines of 60 bytes" "${loader:-?} s" ""
row "adding the same lines pre-split (baseline)" "${baseline:-?} s" ""
row "loader ratio" "${loader_ratio:-?}" "at most 1.2"
row "loader peak pagefile, 1 MB file, no CR LF" "${small:-?} KB" ""
row "loader peak pagefile, 50 MB file, no CR LF" "${large:-?} KB" ""
row "peak growth from 1 MB to 50 MB" "${growth:-?} KB" "under 51200 KB"
for size in 1000:1,000 10000:10,000 100000:100,000; do
  n=${size%%:*} label=${size#*:}
  target_few="" target_all=""
  if [ "$n" = 10000 ]; then target_few="at most 0.1 of the load"; target_all="at most the load"; fi
  row "main window loads $label entries" "$(list_load "$n")" ""
  row "keystroke leaving 1 in 100 of them" "$(keystroke "$n" '1 in 100')" "$target_few"
  row "keystroke leaving every entry" "$(keystroke "$n" 'every entry')" "$target_all"
  row "Backspace bringing every entry back" "$(keystroke "$n" 'back to every entry')" ""
done
row "first keystroke after a load, 10,000 entries" "$(keystroke 10000 'first after a load')" ""
row "Quillan.exe" "$exe_size bytes" ""
row "Morvask.dll" "$dll_size bytes" ""
row "both deliverables" "$(( (exe_size + dll_size) / 1024 )) KB" "at most 100 KB"
echo "Times are median / min / max of 31 alternating runs, from process start;"
echo "the one-click copy until the process ends, the main window until it is visible."
echo "Keystrokes and list loads are medians in the main window itself (filter_bench),"
echo "a keystroke until the window has painted; in brackets its share of the load."
if [ -z "$quillan" ] || [ -z "$shown" ] || [ -z "$loader" ] || [ -z "$(list_load 10000)" ]; then
  echo; echo "raw output:"; cat "$out/one-click.txt" "$out/main-window.txt" "$out/loader.txt" "$out/filter.txt"
fi
