#!/bin/sh
# Installs every Debian package that building, running and testing Quillan
# needs. Idempotent and quick when everything is there. Works as root or
# through sudo. DIR (default build) is where the probe of
# scripts/windows-arch.sh may run.
set -eu
dir=${1:-build}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# fonts-wine holds Wine's own fonts: without Marlett and Tahoma every window
# frame under Wine shows the letter "r" for its close button
# (scripts/wine-session.sh tells Wine where they are).
# The x86-64 cross compiler builds the x64 tree, which the Windows suites
# run on where 32-bit programs cannot run (scripts/windows-arch.sh); there
# wine32 could not start either, so it is left out.
PACKAGES="cmake make g++ googletest g++-mingw-w64-i686 binutils-mingw-w64-i686
 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
 wine wine64 xvfb xclip liblnk-utils fonts-ipafont-gothic fonts-wine
 locales clang libclang-rt-14-dev zip unzip python3"
# A failed try at 32-bit Wine (below) is not repeated by every make target
# of the same run: the stamp keeps it off for an hour.
no_wine32="$dir/wine32-unavailable"
if [ "$(QUILLAN_KERNEL_ONLY=1 "$(dirname "$0")/windows-arch.sh" "$dir" | head -n 1)" = x86 ] &&
   [ -z "$(find "$no_wine32" -mmin -60 2>/dev/null)" ]; then
  PACKAGES="$PACKAGES wine32:i386"
fi

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing="$missing $p"
  fi
done

if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  if echo "$missing" | grep -q ':i386' &&
     ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync serves index files of the wrong size
  # for a minute or two: try again before settling for the lists we have.
  tries=0
  until $SUDO apt-get update -qq; do
    tries=$((tries + 1))
    if [ $tries -ge 4 ]; then
      echo "setup: the package lists could not all be updated; going on with those there are"
      break
    fi
    sleep 20
  done
  install() {
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null
  }
  # shellcheck disable=SC2086
  if ! install $missing; then
    # 32-bit Wine needs every shared i386 library at the version of its
    # amd64 twin; while a mirror lags on i386 that cannot be had. The x64
    # build runs the same suites (scripts/windows-arch.sh picks it when
    # wine32 is missing), so install the rest rather than fail.
    case "$missing" in *:i386*) ;; *) exit 100 ;; esac
    rest=$(echo "$missing" | tr ' ' '\n' | grep -v ':i386$' | tr '\n' ' ')
    echo "setup: 32-bit Wine could not be installed now; the Windows suites run on the x64 build"
    mkdir -p "$dir" && touch "$no_wine32"
    # shellcheck disable=SC2086
    install $rest
  fi
fi

# Wine takes its system code page from the locale (ja_JP gives 932, en_US
# 1252, hi_IN with a registry setting 65001; see scripts/wine-session.sh),
# but it can only create files with non-ASCII names when the glibc locale
# exists as well.
for name in ja_JP en_US hi_IN; do
  if ! locale -a 2>/dev/null | grep -qi "^$name\.utf-\?8\$"; then
    if [ "$(id -u)" -eq 0 ] || [ -n "$SUDO" ]; then
      $SUDO localedef -i "$name" -f UTF-8 "$name.UTF-8"
    fi
  fi
done
echo "setup: all packages present"
