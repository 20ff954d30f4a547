#!/bin/sh
# linked_list_test.sh EMULATOR TEST_PROGRAM
# The clip list as a symbolic link, made on the Unix side (Wine's own link
# call makes nothing): saving must write the file it points to and leave the
# link a link.
set -u
emulator=$1 program=$2
work=$(mktemp -d /tmp/quillan-link-XXXXXX) || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/real"
printf 'old\r\n' >"$work/real/list.txt"
ln -s real/list.txt "$work/ClipData.txt"

QUILLAN_LINKED_LIST="Z:$(printf '%s' "$work/ClipData.txt" | tr / '\\')" \
  "$emulator" "$program" --gtest_filter=SaveClipList.ReplacesWhatALinkPointsToAndKeepsAttributes
status=$?
if [ ! -L "$work/ClipData.txt" ]; then
  echo "ClipData.txt is no longer a link"
  status=1
fi
exit $status
