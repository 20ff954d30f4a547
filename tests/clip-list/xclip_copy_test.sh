#!/bin/sh
# xclip_copy_test.sh EMULATOR PROGRAM
# A copied message must reach the X clipboard: a real X client reads it in
# UTF-8 once the copying program has ended, given up to 10 seconds to get
# there. A Japanese message, and one with characters that code page 932
# lacks.
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
  # Wine hands the text to the X selection after the copying program ended,
  # in its own time: read until the selection holds the expected text or 10
  # seconds have passed, then compare once.
  deadline=$(($(date +%s) + 10))
  while :; do
    got=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
    if [ "$got" = "$expected" ] || [ "$(date +%s)" -ge "$deadline" ]; then break; fi
    sleep 0.1
  done
  if [ "$got" != "$expected" ]; then
    echo "$case: xclip printed [$got], expected [$expected]"
    exit 1
  fi
  echo "$case: xclip printed [$got]"
done
