# shellcheck shell=bash
# Sourced by the test runners. run_marked SECONDS VARIABLE COMMAND... runs
# COMMAND in a private D-Bus session, with a home of its own and a time limit,
# then ends whatever it left running, and returns its status. Services that a
# bus or Wine starts on a test's behalf are not its children, but they inherit
# a mark, VARIABLE=value, from its environment.
run_marked() {
    local seconds=$1 variable=$2 home mark status=0
    shift 2
    # Window managers, Wine and their services keep state in the home: none
    # may leak from one run into the next, nor touch the user's own.
    home=$(mktemp -d)
    export HOME=$home
    unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME AT_SPI_BUS_ADDRESS
    # The bus starts the accessibility bus, which puts its socket in the
    # runtime folder as "at-spi/bus" (the bus is told of no display): with the
    # user's runtime folder, two tests at once would share one.
    export XDG_RUNTIME_DIR=$home/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    export "$variable=$$-$RANDOM$RANDOM"
    timeout --kill-after=10 "$seconds" dbus-run-session -- "$@" || status=$?
    mark="$variable=${!variable}"
    unset "$variable"  # or the search below would find itself
    end_marked "$mark"
    rm -rf "$home"
    return "$status"
}

# end_marked MARK kills every process whose environment holds MARK, but this
# shell, and says how many it ended and which.
end_marked() {
    local mark=$1 environ pid name left=0 names=
    while read -r environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        [ "$pid" = "$$" ] && continue
        name=
        read -r name 2>/dev/null <"/proc/$pid/comm"
        kill -KILL "$pid" 2>/dev/null && left=$((left + 1)) && names="$names $name"
    done < <(grep -lzxF -e "$mark" /proc/[0-9]*/environ 2>/dev/null)
    [ "$left" -eq 0 ] || echo "ended $left process(es) the test left running:$names"
}
