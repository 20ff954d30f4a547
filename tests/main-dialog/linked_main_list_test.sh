#!/bin/sh
# linked_main_list_test.sh EMULATOR TEST_PROGRAM
# The main window's list as a symbolic link made on the Unix side (Wine's
# own link call makes nothing), the program run from a folder of its own.
set -u
emulator=$1 program=$2
work=$(mktemp -d /tmp/quillan-mainlink-XXXXXX) || exit 1
trap 'rm -rf "$work"' EXIT
cp "$program" "$(dirname "$program")"/*.dll "$work/" || exit 1
mkdir "$work/real" && : >"$work/real/list.txt"
ln -s real/list.txt "$work/ClipData.txt"
QUILLAN_LINKED_LIST="Z:$(printf '%s' "$work/real/list.txt" | tr / '\\')" \
  "$emulator" "$work/$(basename "$program")" \
  --gtest_filter=MainDialog.ListDropsDownWithEveryChangeOfItsFile || exit 1
[ -L "$work/ClipData.txt" ] || { echo "ClipData.txt is no longer a link"; exit 1; }
