#!/bin/sh
# Rewrites the expected token files from the current highlighting.
# Usage: tests/data/tokens/bless.sh BUILD_DIR
# Run it only after a change meant to alter the tokens, and review the diff.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
cli="$1/bin/torvane-cli"
here=$(cd "$(dirname "$0")" && pwd)
bless() { # scheme source
    "$cli" tokens --scheme "$1" "$here/$2" > "$here/$2.tokens"
    echo "blessed $2.tokens"
}
bless txt sample.txt
bless asm51 sample.a51
bless avr sample.asm
