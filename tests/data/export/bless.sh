#!/bin/sh
# Rewrites the expected export files from the current writers.
# Usage: tests/data/export/bless.sh BUILD_DIR
# Run it only after a change meant to alter the output, and review the diff.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
cli="$(cd "$1" && pwd)/bin/torvane-cli"
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../../../examples"
for example in blink51.asm blink328p.asm; do
    for format in rtf html; do
        SOURCE_DATE_EPOCH=0 "$cli" export --format "$format" "$example" "$here/$example.$format"
        echo "blessed $example.$format"
    done
done
