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
# Orca quits at its start when another process of the user is named orca,
# whatever its home and bus: the tests that start one take turns, the lock
# held by this shell alone, so that nothing the test leaves running keeps it.
if [[ $test == *screen_reader_test.py ]]; then
    lock=${TMPDIR:-/tmp}/kalvoran-orca-$(id -u).lock
    exec 9>>"$lock"
    if ! flock -n 9; then
        echo "waiting for another Orca test of this user to end (up to 300 s)"
        flock -w 300 9 || { echo "run_desktop_test: $lock still held after 300 s; run: fuser -v $lock" >&2; exit 1; }
    fi
fi
run_marked 300 KALVORAN_DESKTOP_TEST /usr/bin/python3 "$here/$test" "$@" 9>&-
