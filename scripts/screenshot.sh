#!/bin/bash
# screenshot.sh [BUILD [NAME...]]
# Takes the pictures of the guide from the real program under Xvfb, with
# the Japanese dialog font mapped (scripts/wine-session.sh), each over a
# small list of its own. NAME is one or more of (all three by default):
#   main-window  docs/main-window.png: the main window with its list dropped
#                down, over the sample list of scripts/run.sh
#   editor       docs/editor.png: the list editor opened from the main
#                window, with the second entry taken up into the fields
#   shortcut     docs/shortcut.png: the shortcut dialog opened from the main
#                window for Greeting/="Good morning", with /g and /e ticked
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(main-window editor shortcut)
for name in "${names[@]}"; do
  case $name in main-window|editor|shortcut) ;; *) echo "screenshot: no picture $name" >&2; exit 2;; esac
done

# ImageMagick takes the picture; Wine's own fonts draw the caption buttons.
missing=""
command -v import >/dev/null 2>&1 || missing="imagemagick"
dpkg-query -W -f='${Status}' fonts-wine 2>/dev/null | grep -q "ok installed" ||
  missing="$missing fonts-wine"
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "screenshot: installing$missing"
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

make --no-print-directory win dist BUILD="$build" >/dev/null
helper=$(realpath "$build/win/bin/screenshot_helper.exe")
shots=$(realpath -m "$build/screenshot")
rm -rf "$shots"
mkdir -p docs

# Code page 932 with CR LF line ends, as the program keeps its list.
to_cp932() { sed 's/$/\r/' | iconv -f UTF-8 -t CP932; }

# A folder for each picture: the program, its library and its list.
for name in "${names[@]}"; do
  dir="$shots/$name"
  case $name in
    main-window)
      RUN_PREPARE_ONLY=1 scripts/run.sh dist "$dir" '' >/dev/null
      ;;
    editor)
      RUN_PREPARE_ONLY=1 scripts/run.sh dist "$dir" '' >/dev/null
      ;;
    shortcut)
      mkdir -p "$dir" && cp dist/Quillan.exe dist/Morvask.dll "$dir/"
      to_cp932 >"$dir/ClipData.txt" <<'TEXT'
Greeting/="Good morning"
Address/="1-2-3 Sakura, Tokyo"
TEXT
      ;;
  esac
done

# Inside one session: for each picture start the program in its folder,
# bring it to the state shown, take the rectangle the helper prints, and
# close it again. An X display of its own even when one is given, so the
# picture holds only the program's windows.
env -u DISPLAY scripts/wine-session.sh "$build/screenshot-prefix" bash -c '
  set -eu
  helper=$1 shots=$2 docs=$3; shift 3
  # Without a window manager Wine draws captions and frames itself only
  # when told to.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f >/dev/null 2>&1
  for name in "$@"; do
    cd "$shots/$name"
    wine Quillan.exe &
    program=$!
    case $name in
      main-window) geometry=$(wine "$helper" list | tr -d "\r") ;;
      editor) geometry=$(wine "$helper" editor | tr -d "\r") ;;
      shortcut) geometry=$(wine "$helper" shortcut "Greeting/=\"Good morning\"" | tr -d "\r") ;;
    esac
    case $geometry in *x*+*+*) ;; *) echo "screenshot: $geometry" >&2; kill "$program"; exit 1;; esac
    import -window root -crop "$geometry" +repage "$docs/$name.png"
    wine "$helper" close
    wait "$program"
    echo "screenshot: wrote docs/$name.png"
  done
' screenshot "$helper" "$shots" "$(pwd)/docs" "${names[@]}"
rm -rf "$shots"
