#!/bin/bash
# windows-suite.sh WINDIR
# The Windows suite, inside the Wine session that wine-session.sh set up:
# the tests that need a Unix tool (xclip, lnkinfo, chattr, a tmpfs, the
# user's ZIP) through ctest, then the Windows test package, unpacked into a
# fresh folder and run by its own run-tests.cmd, exactly as on Windows.
# Prints ctest's count and the package's "N passed, N failed"; exit code 1
# when either failed.
set -u
windir=$1
status=0

ctest --test-dir "$windir" --output-on-failure -LE test-package || status=1

# On drive C: of the prefix, as a Windows user would unpack it.
zip=$(realpath "$windir/Quillan-tests-win32.zip")
work=$(mktemp -d "$WINEPREFIX/drive_c/quillan-package-XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
(cd "$work" && unzip -q "$zip") || { echo "cannot unpack $zip"; exit 1; }
door="C:\\$(basename "$work")\\Quillan-tests-win32\\run-tests.cmd"
# Under a deadline of its own, so that a hanging runner still ends the run
# (the runner gives each test 120 s).
timeout 1800 wine cmd /c "$door" || status=1
exit $status
