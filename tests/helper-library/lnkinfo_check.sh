#!/bin/sh
# lnkinfo_check.sh EMULATOR WRITE_TEST_LINK
# Writes a shortcut through Morvask.dll under the Wine prefix and reads it
# with lnkinfo, a reader of the format that shares nothing with Wine.
set -u
emulator=$1 writer=$2
prefix=${WINEPREFIX:-$HOME/.wine}
dir_name="morvask-lnk-$$"
unix_dir="$prefix/drive_c/$dir_name"
mkdir -p "$unix_dir" || exit 1
trap 'rm -rf "$unix_dir"' EXIT

"$emulator" "$writer" "C:\\$dir_name\\test.lnk" "C:\\windows\\notepad.exe" "C:\\windows" \
    || { echo "write_test_link failed"; exit 1; }
[ -f "$unix_dir/test.lnk" ] || { echo "no shortcut at $unix_dir/test.lnk"; exit 1; }

info=$(lnkinfo "$unix_dir/test.lnk") || { echo "lnkinfo cannot read the shortcut"; exit 1; }
printf '%s\n' "$info"
status=0
expect() {
    printf '%s\n' "$info" | grep -E -q -- "$1" || { echo "expected in lnkinfo output: $1"; status=1; }
}
expect '^[[:space:]]*Command line arguments[[:space:]]+: /m="おはよう" /g /e$'
expect '^[[:space:]]*Working directory[[:space:]]+: C:\\windows$'
expect '^[[:space:]]*Local path[[:space:]]+: C:\\windows\\notepad\.exe$'
exit $status
