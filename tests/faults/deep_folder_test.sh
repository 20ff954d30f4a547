#!/bin/sh
# deep_folder_test.sh EMULATOR TEST_PROGRAM BIN_DIR
# Starts Quillan.exe from a folder whose path is longer than Windows' file
# functions take (Wine starts such a program only from the Unix side), with
# a list of its own in the folder that a cut path would name; the test
# program then drives it and checks that list is never touched.
set -u
emulator=$1 program=$2 bin=$3
work=$(mktemp -d /tmp/quillan-deep-XXXXXX) || exit 1
trap 'rm -rf "$work"' EXIT
a=$(printf 'a%.0s' $(seq 150))
b=$(printf 'b%.0s' $(seq 100))
mkdir -p "$work/deep/$a/$b"
cp "$bin/Quillan.exe" "$bin/Morvask.dll" "$work/deep/$a/$b/" || exit 1
printf 'other\r\n' >"$work/deep/$a/ClipData.txt"

"$emulator" "$work/deep/$a/$b/Quillan.exe" &
QUILLAN_DEEP_LIST="Z:$(printf '%s' "$work/deep/$a/ClipData.txt" | tr / '\\')" \
  "$emulator" "$program" --gtest_filter=Faults.ProgramFolderTooDeepTouchesNoOtherList
status=$?
wait
if [ "$(cat "$work/deep/$a/ClipData.txt")" != "$(printf 'other\r\n')" ]; then
  echo "the other folder's list changed"
  status=1
fi
exit $status
