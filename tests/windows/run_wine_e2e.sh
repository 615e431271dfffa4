#!/usr/bin/env bash
# Runs wine_e2e.py inside a private D-Bus session (Metacity wants one) and
# home, and ends whatever it left running: Wine's server and its services,
# and what the bus starts for Metacity (end_marked.sh).
# Usage: run_wine_e2e.sh SETUP_EXE [--scale PERCENT] [--screenshots DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../e2e/end_marked.sh
. "$here/../e2e/end_marked.sh"
unset WINEPREFIX WINESERVER WINELOADER
run_marked 300 KALVORAN_WINE_TEST /usr/bin/python3 "$here/wine_e2e.py" "$@"
