#!/usr/bin/env bash
# Runs wine_e2e.py inside a private D-Bus session (Metacity wants one), with
# a home of its own and a time limit, and ends whatever it left running:
# Wine's server and its services, and what the bus starts for Metacity, run
# on the test's behalf without being its children, so they are found by a
# mark they inherit from its environment.
# Usage: run_wine_e2e.sh SETUP_EXE [--screenshots DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME WINEPREFIX WINESERVER WINELOADER
export KALVORAN_WINE_TEST="$$-$RANDOM$RANDOM"
mark="KALVORAN_WINE_TEST=$KALVORAN_WINE_TEST"

status=0
timeout --kill-after=10 300 dbus-run-session -- /usr/bin/python3 "$here/wine_e2e.py" "$@" || status=$?

# Shell builtins only from here: any command started now would carry the mark.
left=0
names=
for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    [ "$pid" = "$$" ] && continue
    mapfile -d '' -t variables 2>/dev/null <"$environ" || continue
    for variable in "${variables[@]}"; do
        if [ "$variable" = "$mark" ]; then
            name=
            read -r name 2>/dev/null <"/proc/$pid/comm"
            kill -KILL "$pid" 2>/dev/null && left=$((left + 1)) && names="$names $name"
            break
        fi
    done
done
[ "$left" -eq 0 ] || echo "ended $left process(es) the test left running:$names"
exit "$status"
