#!/usr/bin/env bash
# Runs wine_e2e.py inside a private D-Bus session (Metacity wants one), with
# a home of its own and a time limit, and ends whatever it left running:
# Wine's server and its services, and what the bus starts for Metacity, run
# on the test's behalf without being its children, so they are found by a
# mark they inherit from its environment.
# Usage: run_wine_e2e.sh SETUP_EXE [--screenshots DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../e2e/end_marked.sh
. "$here/../e2e/end_marked.sh"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME WINEPREFIX WINESERVER WINELOADER
export KALVORAN_WINE_TEST="$$-$RANDOM$RANDOM"
mark="KALVORAN_WINE_TEST=$KALVORAN_WINE_TEST"

status=0
timeout --kill-after=10 300 dbus-run-session -- /usr/bin/python3 "$here/wine_e2e.py" "$@" || status=$?

end_marked "$mark"
exit "$status"
