# shellcheck shell=bash
# retry COMMAND...: runs a download step up to three times, waiting 15 and then 30 seconds between
# tries. A Debian mirror caught in the middle of a sync serves index files that fail their checks
# for a minute or so; a second try after a pause usually finds it whole. Returns the last status.
retry() {
    local attempt status=0
    for attempt in 1 2 3; do
        "$@" && return 0
        status=$?
        [ "$attempt" -lt 3 ] || break
        echo "Failed (try $attempt of 3, status $status): $*; trying again in $((attempt * 15)) s." >&2
        sleep $((attempt * 15))
    done
    return "$status"
}
