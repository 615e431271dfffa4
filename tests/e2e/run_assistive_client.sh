#!/usr/bin/env bash
# Runs the assistive-client test on its own X server (Xvfb) and its own D-Bus
# session, and makes sure nothing it started outlives it.
# Usage: run_assistive_client.sh PATH_TO_KALVORAN
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export NO_AT_BRIDGE=0
exec timeout --kill-after=10 120 xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    dbus-run-session -- /usr/bin/python3 "$here/assistive_client.py" "$1"
