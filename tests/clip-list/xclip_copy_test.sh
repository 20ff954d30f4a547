#!/bin/sh
# xclip_copy_test.sh EMULATOR PROGRAM
# A copied Japanese message must reach the X clipboard: a real X client
# reads it in UTF-8 once the copying program has ended.
set -u
emulator=$1 program=$2
expected='こんにちは、世界 表ソ'

if [ -z "${DISPLAY:-}" ] || ! command -v xclip >/dev/null 2>&1; then
  echo "no X display or no xclip: skipped"
  exit 77
fi

"$emulator" "$program"
status=$?
if [ "$status" -ne 0 ]; then
  echo "the copy program failed (exit $status): the Windows clipboard does not hold the message"
  exit 1
fi

got=$(timeout 10 xclip -o -selection clipboard)
if [ "$got" != "$expected" ]; then
  echo "xclip printed [$got], expected [$expected]"
  exit 1
fi
echo "xclip printed [$got]"
