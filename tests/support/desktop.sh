# Sourced by the shell tests that start the real program. Gives them:
#   WORK            a scratch folder, removed at the end
#   STARTED_PIDS    processes the script started; all are killed at the end
#   fail MESSAGE    reports, with every $WORK/*.log, and exits 1
#   wait_until N COMMAND...   polls COMMAND for up to N tenths of a second
#   require_tools TOOL...     fails naming the missing tool
#   private_user_folders      HOME, XDG_* in $WORK: no lock, socket, setting
#                             or recovery file is shared with a real session
#                             or another test run
#   start_x_server [--window-manager]
#                   a private Xvfb on a free display (DISPLAY set), with
#                   openbox when asked: without a window manager no window
#                   is ever active and window shortcuts never fire
set -u
WORK=$(mktemp -d)
STARTED_PIDS=()

_end_test() {
    local i pid
    for ((i = ${#STARTED_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${STARTED_PIDS[$i]}
        kill -9 "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    rm -rf "$WORK"
}
trap _end_test EXIT

fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "$WORK"/*.log; do
        [ -s "$log" ] && sed "s|^|$(basename "$log"): |" "$log" >&2
    done
    exit 1
}

wait_until() {
    local tries=$1 i
    shift
    for ((i = 0; i < tries; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is not installed"
    done
}

private_user_folders() {
    mkdir -p "$WORK/home" "$WORK/state" "$WORK/config" "$WORK/cache"
    mkdir -m 700 "$WORK/run"
    export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run" XDG_STATE_HOME="$WORK/state"
    export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache" XDG_DATA_HOME="$WORK/home/.local/share"
}

start_x_server() {
    require_tools Xvfb xdpyinfo
    # Xvfb chooses a free display itself and reports its number; -noreset
    # keeps it from resetting (and refusing connections) when a client such
    # as xdpyinfo disconnects as the last one.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$WORK/display" 2>"$WORK/xvfb.log" &
    STARTED_PIDS+=($!)
    wait_until 100 test -s "$WORK/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$WORK/display")"
    wait_until 50 xdpyinfo || fail "display $DISPLAY does not answer"
    if [ "${1:-}" = --window-manager ]; then
        require_tools openbox
        openbox >"$WORK/wm.log" 2>&1 &
        STARTED_PIDS+=($!)
    fi
    export QT_QPA_PLATFORM=xcb
}
