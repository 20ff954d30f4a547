#!/bin/sh
# drive_faults_test.sh KIND EMULATOR TEST_PROGRAM BIN_DIR
# Runs the program from a folder that takes no writes: KIND "readonly" makes
# the folder and its list immutable (what a read-only drive does to a
# writer), KIND "full" puts the folder on a small file system filled to the
# last block. Needs the rights to do so (chattr, mount); exits 77 (skipped)
# without them. Everything made here is undone on exit.
set -u
kind=$1 emulator=$2 program=$3 bin=$4

work=$(mktemp -d /tmp/quillan-drive-XXXXXX) || exit 1
folder=$work/run
mounted=""
cleanup() {
  chattr -i "$folder/ClipData.txt" "$folder" 2>/dev/null
  if [ -n "$mounted" ]; then umount "$folder"; fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$folder"

if [ "$kind" = full ]; then
  if ! mount -t tmpfs -o size=2m,mode=0755 quillan-full "$folder" 2>/dev/null; then
    echo "cannot mount a small file system here: skipped"
    exit 77
  fi
  mounted=1
fi
cp "$bin/Quillan.exe" "$bin/Morvask.dll" "$folder/" || exit 1
printf 'お世話になっております。\r\nGreeting/="Good morning"\r\n表ソ\r\n' |
  iconv -f UTF-8 -t CP932 >"$folder/ClipData.txt" || exit 1
cp "$folder/ClipData.txt" "$work/before.txt"

case $kind in
readonly)
  if ! chattr +i "$folder/ClipData.txt" "$folder" 2>/dev/null; then
    echo "cannot make files immutable here: skipped"
    exit 77
  fi
  ;;
full)
  # Fill to the last block; dd stops with "no space left", as it should.
  dd if=/dev/zero of="$folder/filler" bs=4096 2>/dev/null
  free=$(df --output=avail "$folder" | tail -n 1 | tr -d ' ')
  if [ "$free" != 0 ]; then
    echo "the file system did not fill up ($free KiB free)"
    exit 1
  fi
  ;;
*)
  echo "unknown kind $kind"
  exit 2
  ;;
esac

QUILLAN_FAULT_FOLDER="Z:$(printf '%s' "$folder" | tr / '\\')" "$emulator" "$program"
status=$?
if ! cmp -s "$work/before.txt" "$folder/ClipData.txt"; then
  echo "ClipData.txt changed"
  status=1
fi
exit $status
