#!/bin/bash
# run.sh DIST RUN_DIR ARGS
# Starts DIST/Quillan.exe (dist/ or dist-x64/) under Wine from RUN_DIR (a folder of its own, so
# that the list a user edits there never lands in dist/), passing ARGS as
# its command line exactly as typed, e.g. '/m="Good morning" /g /e'.
# A RUN_DIR without ClipData.txt gets a small sample list. With
# RUN_PREPARE_ONLY=1 the folder is only made ready (scripts/screenshot.sh).
set -eu
cd "$(dirname "$0")/.."
dist=$1
run_dir=$(realpath -m "$2")
args=${3:-}

mkdir -p "$run_dir"
cp "$dist/Quillan.exe" "$dist/Morvask.dll" "$run_dir/"

# Wine's view of a Unix path: drive Z: is the Unix root.
windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# Code page 932 with CR LF line ends, as the program reads and writes them.
to_cp932() { sed 's/\r$//; s/$/\r/' | iconv -f UTF-8 -t CP932; }

# The sample's file reference is relative: the program runs in its folder.
if [ ! -f "$run_dir/ClipData.txt" ]; then
  to_cp932 <docs/sample/sample-memo.txt >"$run_dir/sample-memo.txt"
  to_cp932 <docs/sample/ClipData.txt >"$run_dir/ClipData.txt"
  echo "run: wrote a sample ClipData.txt in $run_dir"
fi

if [ "${RUN_PREPARE_ONLY:-0}" = 1 ]; then exit 0; fi

# Wine quotes and escapes each Unix argument on its way to the Windows
# command line, which would mangle /m="...". A batch file hands the line to
# the program as written (cmd waits for it; % must be doubled for cmd).
# cmd reads the batch file in code page 932: ARGS beyond it cannot pass
# this way (a one-click shortcut made by the program itself can carry them).
if ! printf '@cd /d "%%~dp0"\r\n@Quillan.exe %s\r\n' "${args//%/%%}" |
     iconv -f UTF-8 -t CP932 >"$run_dir/start.bat" 2>/dev/null; then
  echo "run: ARGS hold a character that code page 932 lacks; make run passes only code page 932 text" >&2
  exit 2
fi

# A prefix of its own per run folder: one made by 64-bit Wine alone cannot
# be shared with the 32-bit loader, nor the other way round.
WINE_SESSION_REUSE=1 exec scripts/wine-session.sh "$run_dir-prefix" \
  wine cmd /c "$(windows_path "$run_dir/start.bat")"
