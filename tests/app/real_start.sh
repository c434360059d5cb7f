#!/bin/bash
# A real start of the program on an X server of its own: the first instance
# opens the file named on its command line, a second start hands its file to
# the first one and ends with code 0 without a window of its own.
#
# usage: real_start.sh BIN_DIR
# The program is copied with its Scripts into a scratch program directory, so
# its Torvane.ini lands there and not in the build tree. HOME and
# XDG_RUNTIME_DIR are scratch directories too: the test never meets a running
# instance of a real session.
BIN_DIR=$1
. "$(dirname "$0")/../support/desktop.sh"
require_tools xdotool

private_user_folders
mkdir -p "$WORK/prog/Scripts" "$WORK/data"
cp "$BIN_DIR/torvane" "$WORK/prog/" || fail "no program in $BIN_DIR"
if [ -d "$BIN_DIR/Scripts" ]; then cp "$BIN_DIR/Scripts/"* "$WORK/prog/Scripts/" 2>/dev/null; fi
for script in txt.tsc asm51.tsc AvrAsm.tsc; do
    [ -e "$WORK/prog/Scripts/$script" ] || : >"$WORK/prog/Scripts/$script"
done
FIRST_FILE="$WORK/data/first.asm"
OTHER_FILE="$WORK/data/other.asm"
printf ';compiler: asem51\r\n\tmov a,#1\r\n' >"$FIRST_FILE"
printf 'nop\r\n' >"$OTHER_FILE"

start_x_server

"$WORK/prog/torvane" "$FIRST_FILE" 2>"$WORK/first.log" &
FIRST_PID=$!
STARTED_PIDS+=($FIRST_PID)
wait_until 200 xdotool search --name "first\.asm" || fail "no window shows first.asm: $(cat "$WORK/first.log")"
WINDOW=$(xdotool search --name "first\.asm" | head -n1)
[ "$(xdotool getwindowpid "$WINDOW")" = "$FIRST_PID" ] || fail "the first.asm window is not the first instance's"

timeout 20 "$WORK/prog/torvane" "$OTHER_FILE" 2>"$WORK/second.log"
RC=$?
[ "$RC" = 0 ] || fail "the second start ended with $RC: $(cat "$WORK/second.log")"
kill -0 "$FIRST_PID" 2>/dev/null || fail "the first instance is gone"

# The hand-over is synchronous: the first instance has opened the file by now.
wait_until 50 xdotool search --name "other\.asm" || fail "the first instance did not open other.asm"
[ "$(xdotool getwindowpid "$(xdotool search --name "other\.asm" | head -n1)")" = "$FIRST_PID" ] ||
    fail "other.asm was opened by another process"
VISIBLE=$(xdotool search --onlyvisible --name "^Torvane" | wc -l)
[ "$VISIBLE" = 1 ] || fail "expected one visible Torvane window, found $VISIBLE"

# A second start without a file changes nothing and ends with 0 as well.
timeout 20 "$WORK/prog/torvane" 2>>"$WORK/second.log" || fail "a start without a file ended with $?"
xdotool search --name "other\.asm" >/dev/null || fail "the running instance changed after an empty hand-over"

# Driving it: Ctrl+N asks for the assembler ("Nový soubor" dialog), Enter
# takes the preselected "Žádný", and the main window then shows the new
# untitled document.
xdotool windowfocus --sync "$WINDOW" || fail "cannot focus the main window"
xdotool key ctrl+n
wait_until 50 xdotool search --name "^Nový soubor$" || fail "Ctrl+N did not open the new-document dialog"
xdotool key Return
wait_until 50 xdotool search --name "Nový soubor 1" || fail "no window shows the new untitled document"
[ "$(xdotool getwindowpid "$(xdotool search --name "Nový soubor 1" | head -n1)")" = "$FIRST_PID" ] ||
    fail "the untitled document is not in the first instance"

echo "PASS: first instance shows first.asm, took other.asm from a second start, made a new document on Ctrl+N"
