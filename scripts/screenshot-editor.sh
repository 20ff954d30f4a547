#!/bin/sh
# screenshot-editor.sh [BUILD]: takes docs/editor.png, the clip list editor
# as a user sees it: opened from the main window of the real program over a
# small list, with the second entry taken up into the fields. Runs under its
# own Xvfb and Wine prefix (scripts/wine-session.sh).
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}

# ImageMagick takes the picture; Wine's own fonts draw the caption buttons.
missing=""
command -v import >/dev/null 2>&1 || missing="imagemagick"
dpkg-query -W -f='${Status}' fonts-wine 2>/dev/null | grep -q "ok installed" ||
  missing="$missing fonts-wine"
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
make win BUILD="$build" >/dev/null
bin=$(realpath "$build/win/bin")
run=$(realpath -m "$build/screenshot-editor")
rm -rf "$run" && mkdir -p "$run" docs
cp "$bin/Quillan.exe" "$bin/Morvask.dll" "$run/"
# The list in code page 932 with CR LF line ends, as the program keeps it.
sed 's/$/\r/' <<'TEXT' | iconv -f UTF-8 -t CP932 >"$run/ClipData.txt"
お世話になっております。
挨拶/="おはようございます"
"Good morning"
Thanks/="Thank you for your message."
メモ/f="C:\memo.txt"
TEXT

# An X display of its own even when one is given, so the picture holds only
# the program's windows.
env -u DISPLAY scripts/wine-session.sh "$build/screenshot-editor-prefix" sh -c '
  set -eu
  cd "$1"
  # Without a window manager Wine draws captions and frames itself only
  # when told to.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f >/dev/null 2>&1
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  wine Quillan.exe &
  program=$!
  geometry=$(wine "$2/open_editor.exe" | tr -d "\r")
  case $geometry in *x*+*+*) ;; *) echo "screenshot: $geometry" >&2; exit 1;; esac
  import -window root -crop "$geometry" +repage "$3"
  wine "$2/open_editor.exe" close
  wait $program
' screenshot "$run" "$bin" "$(pwd)/docs/editor.png"
rm -rf "$run"
echo "screenshot-editor: docs/editor.png"
