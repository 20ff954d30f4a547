#!/bin/sh
# lnkinfo_check.sh WINE_EXEC WRITE_SHORTCUT_EXE
# Has the dialog write "Good morning.lnk" (message, /g, /e, a key) under
# Wine, then reads it back with lnkinfo on the Unix side: target, working
# folder and arguments must be what the program needs to start as a
# one-click launcher, and the key the one given.
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
key=$(printf '%s\n' "$written" | sed -n 's/^key=//p')

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
# lnkinfo 20181227 prints "Hot Key value: 0" whatever the header holds (its
# show command too), so the key comes from the header itself: two bytes,
# little-endian, at offset 64.
set -- $(od -An -tu1 -j64 -N2 "$folder/Good morning.lnk")
check "key" "$(( $1 + 256 * $2 ))" "$key"
[ $status -eq 0 ] && echo "lnkinfo_check: target, working folder, arguments and key read back"
exit $status
