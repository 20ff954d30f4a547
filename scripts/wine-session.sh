#!/bin/bash
# wine-session.sh PREFIX_DIR COMMAND...
# Runs COMMAND with a Wine prefix and an X display of its own: starts Xvfb
# when no DISPLAY is given, makes a fresh prefix in PREFIX_DIR, keeps the
# Wine server up for the whole command, and stops exactly what it started
# afterwards.
# WINE_CODEPAGE picks the system code page the Windows programs see: 932
# (Japanese Windows, the default), 1252 (English) or 65001 (UTF-8). One
# prefix holds one code page, so give each its own PREFIX_DIR.
# WINE_ARCH=x64 runs everything on 64-bit Wine alone, for the x64 build on
# machines that cannot run 32-bit programs (scripts/windows-arch.sh).
set -u
prefix_dir=$1; shift

# Debian's wine (and wineboot, regedit, ... through wine-stable) starts the
# 32-bit loader whenever wine32 is installed, and that fails with "Exec
# format error" where the kernel runs no i386 program. For x64, every
# "wine" of this session, ours, the tests' scripts' and ctest's, is the
# 64-bit loader itself, through a folder put first on PATH; WINELOADER is
# what Wine starts further Windows programs with.
if [ "${WINE_ARCH:-x86}" = x64 ]; then
  shims=$(realpath -m "$prefix_dir")-bin
  mkdir -p "$shims"
  for name in wine wine-stable wine64; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/$name"
    chmod +x "$shims/$name"
  done
  export PATH="$shims:$PATH"
  export WINELOADER=/usr/lib/wine/wine64
fi

# Wine 8 takes the code page from the Unix locale; 65001 has no locale of
# its own and needs the registry as well (below).
export WINE_CODEPAGE=${WINE_CODEPAGE:-932}
case $WINE_CODEPAGE in
  932) locale=ja_JP.UTF-8 ;;
  1252) locale=en_US.UTF-8 ;;
  65001) locale=hi_IN.UTF-8 ;;
  *) echo "wine-session: WINE_CODEPAGE must be 932, 1252 or 65001, not $WINE_CODEPAGE" >&2; exit 2 ;;
esac
# scripts/wine-exec.sh starts the session's programs with the same locale.
export WINE_SESSION_LOCALE=$locale
export LANG=$locale LC_ALL=$locale
export WINEDEBUG=-all
# Never let Wine offer its .NET or HTML engines: nobody can answer in CI.
# Nor start its menu builder for every shortcut a test writes: it inherits
# the test's output and keeps it open after the test ended, so that ctest
# waited for it until the test timed out.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX
WINEPREFIX=$(realpath -m "$prefix_dir")

xvfb_pid=""
keeper_pid=""
cleanup() {
  if [ -n "$keeper_pid" ]; then kill "$keeper_pid" 2>/dev/null; fi
  WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  # -displayfd picks a free display number, so parallel runs never collide.
  fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 20 display_number <"$fifo" || { echo "wine-session: Xvfb did not start" >&2; exit 1; }
  rm -f "$fifo"
  export DISPLAY=":$display_number"
  echo "wine-session: started Xvfb on $DISPLAY"
fi

# The prefix's display settings, as a registry file.
# - Wine's own fonts (Marlett draws the caption buttons, Tahoma the captions)
#   come with Debian's fonts-wine, but Wine 8 looks for them under a wrong
#   path ("<data dir>\../fonts") and never finds them, so its frames show
#   the letter "r" for the close button and a bitmap caption: name their
#   folder as an extra font path.
# - The dialogs' font (face name ＭＳ Ｐゴシック) maps to an installed Japanese
#   font, so that screenshots show real glyphs. So does MS UI Gothic, what
#   the Japanese locale makes of captions, menus and message boxes (its
#   "MS Shell Dlg"): unmapped, they fall back to the fixed-pitch IPAGothic,
#   whose embedded bitmaps look like a bitmap font.
# - Unmanaged windows: with no window manager on Xvfb, Wine otherwise waits
#   about two seconds for every window it closes.
# - For 65001 the code page values, which the locale alone does not give.
wine_fonts=/usr/share/wine/fonts
settings() {
  cat <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts]
"Path"="Z:${wine_fonts//\//\\\\}"

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"
REG
  if [ "$WINE_CODEPAGE" = 65001 ]; then
    printf '\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Nls\\CodePage]\n"ACP"="65001"\n"OEMCP"="65001"\n'
  fi
}

# Tests want a fresh prefix every run; `make run` (WINE_SESSION_REUSE=1)
# keeps the one it made before, so a second start is quick, as long as it
# was made for the same code page.
marker="$WINEPREFIX/quillan-codepage"
if [ "${WINE_SESSION_REUSE:-0}" != 1 ] || [ ! -f "$WINEPREFIX/system.reg" ] ||
   [ "$(cat "$marker" 2>/dev/null)" != "$WINE_CODEPAGE" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1
  wineserver -w 2>/dev/null
  echo "$WINE_CODEPAGE" >"$marker"
fi
# Applied to a new prefix, and to a kept one whenever they changed.
applied="$WINEPREFIX/quillan-settings.reg"
if ! settings | cmp -s - "$applied"; then
  reg="$WINEPREFIX/drive_c/quillan-settings.reg"
  { printf '\xff\xfe'; settings | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  if wine regedit /S "C:\\quillan-settings.reg" >/dev/null 2>&1; then settings >"$applied"; fi
  rm -f "$reg"
  if [ "$WINE_CODEPAGE" = 65001 ]; then
    # The values count only from the next start of the Wine server: let
    # this one end. The first program of the new one starts Wine's
    # background programs, which inherit its output and keep it open; start
    # them here, writing nowhere, or they would hold a test's output open
    # and ctest would wait for it until the test timed out.
    wineserver -w 2>/dev/null
    wine cmd /c exit >/dev/null 2>&1
  fi
fi
wineserver -p >/dev/null 2>&1 &
# WINE_SESSION_KEEPER names a program that holds the desktop open for the
# whole session (Wine closes an unused desktop after a second and restarts
# it for the next program, which would cost every short test that second).
# The first test waits until the keeper has the desktop up: a test that
# started it would leave Wine's desktop process holding the test's output.
if [ -n "${WINE_SESSION_KEEPER:-}" ] && [ -f "$WINE_SESSION_KEEPER" ]; then
  ready="$WINEPREFIX/drive_c/quillan-keeper-ready"
  rm -f "$ready"
  wine "$WINE_SESSION_KEEPER" 'C:\quillan-keeper-ready' >/dev/null 2>&1 &
  keeper_pid=$!
  waited=0
  while [ ! -f "$ready" ] && [ $waited -lt 600 ] && kill -0 "$keeper_pid" 2>/dev/null; do
    sleep 0.05
    waited=$((waited + 1))
  done
  [ -f "$ready" ] || echo "wine-session: the desktop keeper did not start; going on without it" >&2
fi
"$@"
status=$?
exit $status
