#!/usr/bin/env bash
# Runs desktop_test.py for one desktop inside a private D-Bus session (the
# accessibility bus, Mutter and KWin need one), and ends everything the
# desktop started, so that nothing outlives the test: services that the bus
# starts on a window manager's behalf (KWin's shortcut daemon, say) are not
# children of the test, but they inherit a mark from its environment.
# Usage: run_desktop_test.sh DESKTOP PATH_TO_KALVORAN
#    or: run_desktop_test.sh OTHER_TEST.py ARGUMENTS...  (another test of this
#        folder, in the same private session and home)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=end_marked.sh
. "$here/end_marked.sh"
export NO_AT_BRIDGE=0
# A home of its own: window managers and the services they start keep settings
# and state there, which must neither leak from one run into the next nor
# touch the user's own.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME
export KALVORAN_DESKTOP_TEST="$$-$RANDOM$RANDOM"
mark="KALVORAN_DESKTOP_TEST=$KALVORAN_DESKTOP_TEST"

test=desktop_test.py
case ${1-} in *.py) test=$1 && shift ;; esac
status=0
timeout --kill-after=10 150 dbus-run-session -- /usr/bin/python3 "$here/$test" "$@" || status=$?

end_marked "$mark"
exit "$status"
