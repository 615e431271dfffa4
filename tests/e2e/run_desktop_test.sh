#!/usr/bin/env bash
# Runs desktop_test.py, or another test of this folder, in a private D-Bus
# session and home, and ends all that the desktop started (end_marked.sh).
# Usage: run_desktop_test.sh [OTHER_TEST.py] ARGUMENTS...
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=end_marked.sh
. "$here/end_marked.sh"
export NO_AT_BRIDGE=0
test=desktop_test.py
case ${1-} in *.py) test=$1 && shift ;; esac
run_marked 150 KALVORAN_DESKTOP_TEST /usr/bin/python3 "$here/$test" "$@"
