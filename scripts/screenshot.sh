#!/bin/bash
# screenshot.sh [BUILD]
# Takes docs/main-window.png: the main window with its list dropped down,
# over the sample list, under Xvfb with the Japanese dialog font mapped.
# Needs ImageMagick's `import`, installed here when missing.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}

if ! command -v import >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "screenshot: installing imagemagick"
  $SUDO apt-get install -y -qq --no-install-recommends imagemagick >/dev/null
fi

make --no-print-directory dist BUILD="$build" >/dev/null
shot_dir=$(realpath -m "$build/screenshot")
rm -rf "$shot_dir"
RUN_PREPARE_ONLY=1 scripts/run.sh "$shot_dir" ''
cp "$build/win/bin/show_list.exe" "$shot_dir/"
mkdir -p docs

# Inside the session: start the program, drop its list, grab the screen
# around the window, close the program.
inner=$(mktemp)
cat >"$inner" <<INNER
set -eu
cd "$shot_dir"
wine Quillan.exe &
quillan=\$!
rect=\$(wine show_list.exe 30 | tr -d '\r')
read -r x y w h <<<"\$rect"
margin=12
import -window root -crop "\$((w + 2 * margin))x\$((h + 2 * margin))+\$((x - margin))+\$((y - margin))" \
  +repage "$PWD/docs/main-window.png"
kill "\$quillan" 2>/dev/null || true
INNER
scripts/wine-session.sh "$build/screenshot-prefix" bash "$inner"
rm -f "$inner"
echo "screenshot: wrote docs/main-window.png"
