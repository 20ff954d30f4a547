#!/bin/bash
# test-codepage.sh WINDIR CODEPAGE [CTEST_ARGS...]
# Runs the tests of the real program under one Windows system code page
# (932, 1252 or 65001) in a session of its own: its own fresh prefix, X
# display and Wine server. The in-process tests of the rules and dialogs
# run with the whole Windows suite under 932 only. WINDIR is the Windows
# build tree (build/win, or build/win-x64 with WINE_ARCH=x64).
set -u
windir=$1 codepage=$2
shift 2

# The real program end to end: the tests that start Quillan.exe from a
# folder of its own, the fault tests that start it, the shortcut started
# as the shell would and the unpacked package. Session checks the code page
# itself.
tests='^(Session|Program|Faults|OneClickLauncher|Package)\.'

export WINE_CODEPAGE=$codepage
export WINE_SESSION_KEEPER="$windir/bin/desktop_keeper.exe"
exec "$(dirname "$0")/wine-session.sh" "$windir/wine-prefix-$codepage" \
  ctest --test-dir "$windir" --output-on-failure -R "$tests" "$@"
