#!/usr/bin/env bash
# Runs desktop_test.py for one desktop inside a private D-Bus session (the
# accessibility bus, Mutter and KWin need one) and home, and ends everything
# the desktop started (end_marked.sh), KWin's shortcut daemon, say.
# Usage: run_desktop_test.sh DESKTOP PATH_TO_KALVORAN
#    or: run_desktop_test.sh OTHER_TEST.py ARGUMENTS...  (another test of this
#        folder, in the same private session and home)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=end_marked.sh
. "$here/end_marked.sh"
export NO_AT_BRIDGE=0
test=desktop_test.py
case ${1-} in *.py) test=$1 && shift ;; esac
run_marked 150 KALVORAN_DESKTOP_TEST /usr/bin/python3 "$here/$test" "$@"
