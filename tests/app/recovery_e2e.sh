#!/bin/bash
# Unsaved work survives a kill -9, end to end on an X server of its own with a
# window manager: type into a document, wait until the recovery file is
# written, kill the program hard, start it again, accept the offer; the text is
# back and the document modified (Ctrl+S writes it). On the way, SIGTERM runs
# the close question instead of ending the program.
#
# usage: recovery_e2e.sh BIN_DIR
BIN_DIR=$1
. "$(dirname "$0")/../support/desktop.sh"
require_tools xdotool

# Private folders: no lock, socket, settings or recovery file is shared with
# a real session or another test run.
private_user_folders
mkdir -p "$WORK/prog/Scripts" "$WORK/data"
export TORVANE_RECOVERY_SECONDS=1
cp "$BIN_DIR/torvane" "$WORK/prog/" || fail "no program in $BIN_DIR"
if [ -d "$BIN_DIR/Scripts" ]; then cp "$BIN_DIR/Scripts/"* "$WORK/prog/Scripts/" 2>/dev/null; fi
for script in txt.tsc asm51.tsc AvrAsm.tsc; do
    [ -e "$WORK/prog/Scripts/$script" ] || : >"$WORK/prog/Scripts/$script"
done
FILE="$WORK/data/work.asm"
printf 'nop\r\n' >"$FILE"

start_x_server --window-manager

start() {
    "$WORK/prog/torvane" "$@" 2>>"$WORK/app.log" &
    APP_PID=$!
    STARTED_PIDS+=($APP_PID)
}

# Types into the editor of the main window.
focus_editor() {
    local window
    window=$(xdotool search --name "^Torvane" | head -n1)
    # No --sync: with a maximised window the wait for activation never ends.
    xdotool windowactivate "$window" >/dev/null 2>&1
    sleep 0.3
    xdotool mousemove --window "$window" 300 200 click 1
}

start "$FILE"
wait_until 200 xdotool search --name "work\.asm" || fail "no window shows work.asm"
focus_editor
xdotool key ctrl+End
xdotool type --delay 20 "recovered words"
wait_until 100 sh -c "grep -q 'recovered words' '$WORK/state/torvane/'*.rec" ||
    fail "no recovery file holds the typed text"
[ "$(stat -c %a "$WORK/state/torvane")" = 700 ] || fail "the recovery folder is not private"

kill -9 "$APP_PID"
wait "$APP_PID" 2>/dev/null
APP_PID=""
grep -q "recovered words" "$FILE" && fail "the file was written before any save"

start
wait_until 200 xdotool search --name "^Potvrzení$" || fail "no recovery offer at the next start"
xdotool windowactivate --sync "$(xdotool search --name "^Potvrzení$" | head -n1)" >/dev/null 2>&1
xdotool key Return # Ano, the default
wait_until 100 xdotool search --name "work\.asm" || fail "the restored document is not open"
# The restored document is modified again, so the next recovery pass keeps it.
wait_until 100 sh -c "ls '$WORK/state/torvane/'*.rec" || fail "the restored text is not kept for recovery"

# SIGTERM with a display: the close question comes, Storno keeps the program.
kill -TERM "$APP_PID"
wait_until 100 xdotool search --name "^Potvrzení$" || fail "SIGTERM did not ask about the unsaved document"
xdotool windowactivate --sync "$(xdotool search --name "^Potvrzení$" | head -n1)" >/dev/null 2>&1
xdotool key Escape
sleep 0.5
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended although the close was cancelled"

# Modified: Ctrl+S is enabled and writes the restored text.
focus_editor
xdotool key ctrl+s
wait_until 100 grep -q "recovered words" "$FILE" || fail "Ctrl+S did not write the restored text"
[ "$(tr -d '\r\n' <"$FILE")" = "noprecovered words" ] || fail "unexpected contents: $(cat -A "$FILE")"

# A clean end removes the recovery files.
kill -TERM "$APP_PID"
wait_until 100 sh -c "! kill -0 $APP_PID" || fail "SIGTERM did not end the saved program"
APP_PID=""
ls "$WORK/state/torvane/"*.rec >/dev/null 2>&1 && fail "recovery files stayed after a clean end"

echo "PASS: typed text survived kill -9, was offered, restored as modified and saved; SIGTERM asked first"
