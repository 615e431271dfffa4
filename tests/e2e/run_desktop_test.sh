#!/usr/bin/env bash
# Runs desktop_test.py for one desktop inside a private D-Bus session (the
# accessibility bus, Mutter and KWin need one), so that nothing it started
# outlives it. Usage: run_desktop_test.sh DESKTOP PATH_TO_KALVORAN
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export NO_AT_BRIDGE=0
exec timeout --kill-after=10 150 dbus-run-session -- /usr/bin/python3 "$here/desktop_test.py" "$@"
