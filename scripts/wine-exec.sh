#!/bin/sh
# Runs one Windows program under the Wine prefix and display that
# wine-session.sh set up (ctest calls this as the cross-compiling emulator),
# with the locale, and so the code page, of that session.
locale=${WINE_SESSION_LOCALE:-ja_JP.UTF-8}
export LANG="$locale" LC_ALL="$locale"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
