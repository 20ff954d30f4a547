#!/bin/bash
# package_test.sh BIN_DIR
# Builds the Windows package, unpacks it into a fresh folder and uses it as a
# user would: the one-click copy from the unpacked program, read back by a
# real X client, and the sample list's file reference, relative to the
# program's folder.
set -u
bin_dir=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$root/scripts/package.sh" "$bin_dir" "$work/Quillan.zip" >/dev/null || fail "package.sh failed"
mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$work/Quillan.zip") || fail "the ZIP does not unpack"
folder="$work/unpacked/Quillan-1.7.0"
for f in Quillan.exe Morvask.dll ClipData.txt sample-memo.txt README-en.txt README-ja.txt; do
  [ -f "$folder/$f" ] || fail "the package lacks $f"
done
count=$(cd "$work/unpacked" && find . -type f | wc -l)
[ "$count" -eq 6 ] || fail "the package holds $count files, expected 6"
if grep -q $'[^\r]$' "$folder/ClipData.txt"; then fail "ClipData.txt has a line without CR LF"; fi
iconv -f CP932 -t UTF-8 "$folder/README-ja.txt" >/dev/null || fail "README-ja.txt is not code page 932"

[ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }

# A batch file hands the command line over exactly as a shortcut would.
run_in_folder() {
  printf '@cd /d "%%~dp0"\r\n@Quillan.exe %s\r\n' "$1" >"$folder/run.bat"
  timeout 60 wine cmd /c "Z:$(printf '%s' "$folder/run.bat" | tr '/' '\\')"
}

run_in_folder '/m="Good morning" /g /e' || fail "Quillan.exe did not end by itself with exit code 0"
got=$(timeout 10 xclip -o -selection clipboard)
[ "$got" = "Good morning" ] || fail "clipboard holds [$got], expected [Good morning]"

run_in_folder '/f="sample-memo.txt" /g /e' || fail "the file copy did not end by itself"
got=$(timeout 10 xclip -o -selection clipboard | head -1)
expected=$(iconv -f CP932 -t UTF-8 "$folder/sample-memo.txt" | head -1 | tr -d '\r')
[ "$got" = "$expected" ] || fail "clipboard holds [$got], expected [$expected]"
echo "package unpacked and used: one-click copy and the sample file reference work"
