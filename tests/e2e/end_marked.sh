# shellcheck shell=bash
# Sourced by the test runners. end_marked MARK kills every process whose
# environment holds MARK (VARIABLE=value), but this shell, and says how many
# it ended and which. Services a bus or Wine starts on a test's behalf are not
# its children, but they inherit the mark. Shell builtins only: any command
# started here would carry the mark itself.
end_marked() {
    local mark=$1 environ pid variable name left=0 names=
    local -a variables
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
}
