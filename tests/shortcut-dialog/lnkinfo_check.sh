#!/bin/sh
# lnkinfo_check.sh WINE_EXEC WRITE_SHORTCUT_EXE
# Has the dialog write "Good morning.lnk" (message, /g, /e) under Wine, then
# reads it back with lnkinfo on the Unix side: target, working folder and
# arguments must be what the program needs to start as a one-click launcher.
set -u
wine_exec=$1
writer=$2

if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "lnkinfo_check: no Wine prefix in WINEPREFIX (run through make test-win)" >&2
  exit 1
fi
name="quillan-lnkinfo-$$"
folder="$WINEPREFIX/drive_c/$name"
mkdir -p "$folder"
trap 'rm -rf "$folder"' EXIT

written=$("$wine_exec" "$writer" "C:\\$name" | tr -d '\r') || {
  echo "lnkinfo_check: the dialog did not write the shortcut: $written" >&2
  exit 1
}
target=$(printf '%s\n' "$written" | sed -n 's/^target=//p')
workdir=$(printf '%s\n' "$written" | sed -n 's/^workdir=//p')

info=$(lnkinfo "$folder/Good morning.lnk") || {
  echo "lnkinfo_check: lnkinfo cannot read the shortcut" >&2
  exit 1
}
field() {
  printf '%s\n' "$info" | sed -n "s/^[[:space:]]*$1[[:space:]]*: //p"
}

status=0
check() {
  if [ "$2" != "$3" ]; then
    echo "lnkinfo_check: $1: expected [$3], lnkinfo read [$2]" >&2
    status=1
  fi
}
check "target" "$(field 'Local path')" "$target"
check "working folder" "$(field 'Working directory')" "$workdir"
check "arguments" "$(field 'Command line arguments')" '/m="Good morning" /g /e'
[ $status -eq 0 ] && echo "lnkinfo_check: target, working folder and arguments read back"
exit $status
