#!/bin/bash
# Installs the build tree into PREFIX as a user would and uses it from there
# with a fresh user: the command-line tool finds the scheme scripts, builds
# 8051 and AVR sources through the installed bridge and front ends, and
# writes its settings and log into the user's folders; the program starts
# (offscreen) from PREFIX/bin and serves the single-instance hand-over from
# the user's runtime directory. PREFIX stays installed for the tests that
# need it.
#
# usage: install_test.sh BUILD_DIR PREFIX EXAMPLES_DIR DATA_DIRS
# DATA_DIRS: the data folders the build puts beside the program, ","-separated.
set -u
BUILD=$1
PREFIX=$2
EXAMPLES=$3
DATA_DIRS=$4
. "$(dirname "$0")/../support/desktop.sh"

rm -rf "$PREFIX"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || fail "install failed: $(cat "$WORK/install.log")"

for file in bin/torvane bin/torvane-cli lib/torvane/libPelorin.so lib/torvane/libQuendal.so \
    lib/torvane/asemw lib/torvane/avrasm32 share/applications/torvane.desktop \
    share/icons/hicolor/scalable/apps/torvane.svg share/icons/hicolor/48x48/apps/torvane.png \
    share/mime/packages/torvane.xml share/man/man1/torvane-cli.1.gz share/doc/torvane/copyright; do
    [ -f "$PREFIX/$file" ] || fail "$file is not installed"
done
IFS=',' read -ra dirs <<<"$DATA_DIRS"
[ ${#dirs[@]} -gt 0 ] || fail "no data folders named"
for dir in "${dirs[@]}"; do
    diff -r "$BUILD/bin/$dir" "$PREFIX/share/torvane/$dir" >"$WORK/diff" ||
        fail "share/torvane/$dir differs from the build tree's bin/$dir: $(cat "$WORK/diff")"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$PREFIX/share/applications/torvane.desktop" || fail "the desktop entry is not valid"
fi

private_user_folders
mkdir -p "$WORK/src"
cp "$EXAMPLES"/*.asm "$WORK/src/"
CLI="$PREFIX/bin/torvane-cli"

"$CLI" tokens --scheme asm51 "$WORK/src/blink51.asm" >"$WORK/tokens" 2>&1 || fail "tokens: $(cat "$WORK/tokens")"
for source in blink51 blink328p; do
    "$CLI" build "$WORK/src/$source.asm" >"$WORK/build.log" 2>&1 || fail "build of $source: $(cat "$WORK/build.log")"
    [ -s "$WORK/src/$source.hex" ] || fail "no $source.hex after the build"
done
INI="$XDG_CONFIG_HOME/torvane/Torvane.ini"
[ -f "$INI" ] || fail "no settings file in XDG_CONFIG_HOME"
grep -qx "Path=$PREFIX/lib/torvane/avrasm32" "$INI" || fail "the settings do not name the installed front end: $(cat "$INI")"
[ -f "$XDG_CACHE_HOME/torvane/compiler.log" ] || fail "no build log in XDG_CACHE_HOME"
[ "$(stat -c %a "$XDG_CONFIG_HOME/torvane")" = 700 ] || fail "the settings folder is not private"

QT_QPA_PLATFORM=offscreen "$PREFIX/bin/torvane" "$WORK/src/blink51.asm" >"$WORK/gui.log" 2>&1 &
GUI_PID=$!
STARTED_PIDS+=($GUI_PID)
wait_until 200 test -S "$XDG_RUNTIME_DIR/TfrmTorvane" || fail "the program does not listen: $(cat "$WORK/gui.log")"
[ -f "$XDG_RUNTIME_DIR/Torvane" ] || fail "no single-instance lock in XDG_RUNTIME_DIR"
# A second start hands its file over and ends.
QT_QPA_PLATFORM=offscreen timeout 20 "$PREFIX/bin/torvane" "$WORK/src/blink328p.asm" ||
    fail "the second start ended with $?"
kill -0 "$GUI_PID" 2>/dev/null || fail "the program ended: $(cat "$WORK/gui.log")"

LEFT=$(find "$PREFIX" -name Torvane.ini -o -name compiler.log)
[ -z "$LEFT" ] || fail "written into the installed program: $LEFT"
echo "PASS: installed into $PREFIX, found its parts, built 8051 and AVR sources, kept the user's files outside"
