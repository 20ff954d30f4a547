#!/bin/sh
# windows-arch.sh DIR [ARCH]
# Picks the build of the Windows programs that this machine tests and runs,
# and says why: "x86" where it can run 32-bit x86 programs (the 32-bit
# deliverables themselves, under Wine's 32-bit loader), "x64" where it
# cannot. Some 64-bit kernels run no i386 program at all ("IA-32 emulation
# off"), and there Wine's 32-bit loader fails with "Exec format error";
# 64-bit Wine still runs the same sources built for x86-64. ARCH (x86 or
# x64) forces one; x86 on a machine that cannot run it stops with one line.
# Prints the pick on its first line and the reason on its second. DIR is a
# folder where a probe program may be written and run (not /tmp, which may
# be mounted noexec and would make every machine look 64-bit only).
set -u
dir=$1 forced=${2:-}

# The smallest i386 Linux program: exit(0) through int 0x80. 93 bytes.
can_run_x86() {
  mkdir -p "$dir" || return 1
  probe="$dir/i386-probe"
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$probe" &&
    chmod +x "$probe" && "$probe" 2>/dev/null
  ran=$?
  rm -f "$probe"
  return $ran
}

wine32_installed() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed"
}

case $forced in
  x64)
    echo x64; echo "ARCH=x64 given" ;;
  x86)
    if ! can_run_x86; then
      echo "ARCH=x86: this machine cannot run 32-bit programs (Exec format error); use ARCH=x64 or leave ARCH unset" >&2
      exit 1
    fi
    echo x86; echo "ARCH=x86 given" ;;
  "")
    # The set-up asks about the kernel alone, before it installs 32-bit
    # Wine; every other caller also needs that Wine to be there.
    if can_run_x86 && [ -n "${QUILLAN_KERNEL_ONLY:-}" ]; then
      echo x86; echo "this machine runs 32-bit programs"
    elif can_run_x86 && ! wine32_installed; then
      echo x64; echo "this machine runs 32-bit programs, but 32-bit Wine could not be installed"
    elif can_run_x86; then
      echo x86; echo "this machine runs 32-bit programs"
    else
      echo x64; echo "this machine cannot run 32-bit programs"
    fi ;;
  *)
    echo "ARCH must be x86 or x64, not $forced" >&2
    exit 2 ;;
esac
