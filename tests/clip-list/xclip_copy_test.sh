#!/bin/sh
# xclip_copy_test.sh EMULATOR PROGRAM
# A copied message must reach the X clipboard: a real X client reads it in
# UTF-8 once the copying program has ended. A Japanese message, and one with
# characters that code page 932 lacks.
set -u
emulator=$1 program=$2

if [ -z "${DISPLAY:-}" ] || ! command -v xclip >/dev/null 2>&1; then
  echo "no X display or no xclip: skipped"
  exit 77
fi

for case in japanese unicode; do
  if [ "$case" = unicode ]; then expected='𠮷 é © 😀'; else expected='こんにちは、世界 表ソ'; fi
  "$emulator" "$program" "$case"
  status=$?
  if [ "$status" -ne 0 ]; then
    echo "$case: the copy program failed (exit $status): the Windows clipboard does not hold the message"
    exit 1
  fi
  got=$(timeout 10 xclip -o -selection clipboard)
  if [ "$got" != "$expected" ]; then
    echo "$case: xclip printed [$got], expected [$expected]"
    exit 1
  fi
  echo "$case: xclip printed [$got]"
done
