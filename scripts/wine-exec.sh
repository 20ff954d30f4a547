#!/bin/sh
# Runs one Windows program under the Wine prefix and display that
# wine-session.sh set up (ctest calls this as the cross-compiling emulator).
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
