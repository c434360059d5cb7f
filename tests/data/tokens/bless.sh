#!/bin/sh
# Rewrites the expected token listings (SOURCE.tokens) of every sample in
# samples.list from the current highlighting, as "torvane-cli tokens" of the
# given build prints it, with the scheme scripts of this source tree.
# Usage: tests/data/tokens/bless.sh BUILD_DIR    (for example: out)
# Run it only after a change meant to alter the tokens, and review the diff.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
cli="$1/bin/torvane-cli"
if [ ! -x "$cli" ]; then
    echo "$0: no $cli; build it first (cmake --build $1 --target torvane-cli)" >&2
    exit 1
fi
here=$(cd "$(dirname "$0")" && pwd)
scripts="$here/../../../Scripts"
grep -v '^#' "$here/samples.list" | while read -r source scheme; do
    [ -n "$source" ] || continue
    case "$scheme" in
        builtin) set -- ;;
        *) set -- --scheme "$scripts/$scheme" ;;
    esac
    # A listing is replaced only when the tool succeeded, so a failure leaves
    # the checked-in file as it was.
    if ! "$cli" tokens "$@" "$here/$source" > "$here/$source.tokens.new"; then
        rm -f "$here/$source.tokens.new"
        echo "$0: torvane-cli tokens failed on $source" >&2
        exit 1
    fi
    mv "$here/$source.tokens.new" "$here/$source.tokens"
    echo "blessed $source.tokens"
done
