#!/usr/bin/env bash
# torvane-cli print end to end: a bundled example to PDF, read back with
# pdftotext and rendered with pdftoppm; bad input and bad usage.
# usage: cli_print_test.sh CLI EXAMPLES_DIR WORK_DIR
set -u
cli=$1 examples=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }

cp "$examples/blink51.asm" "$work/blink51.asm"
cd "$work"
"$cli" print --scheme asm51 blink51.asm out.pdf >stdout.txt 2>stderr.txt
check "print exits 0" '[ $? -eq 0 ]'
pdftotext -layout out.pdf out.txt
check "pdftotext reads the file" '[ -s out.txt ]'
check "title on the page" 'grep -q "blink51.asm" out.txt'
check "page number" 'grep -q -- "- 1 -" out.txt'
# Every source line appears numbered, in order.
got=$(grep -E '^ *[0-9]+:' out.txt | sed 's/^ *//')
lines=$(wc -l <blink51.asm)
check "numbered lines in order" '[ "$(echo "$got" | cut -d: -f1 | tr "\n" " ")" = "$(seq -s " " 1 "$lines") " ]'
check "last line text" 'echo "$got" | tail -1 | grep -q "END"'
check "first line text" 'echo "$got" | head -1 | grep -q "compiler: asem51"'
pdftoppm -r 50 -f 1 -l 1 -png out.pdf page >/dev/null 2>ppm.err
check "pdftoppm renders page 1" '[ -s page-1.png ] && [ ! -s ppm.err ]'

# A range of lines, wrapped.
"$cli" print --lines 2-3 --wrap blink51.asm part.pdf >/dev/null
check "range exits 0" '[ $? -eq 0 ]'
pdftotext -layout part.pdf part.txt
check "range prints line 2 and 3 only" '[ "$(grep -E "^ *[0-9]+:" part.txt | sed "s/^ *//" | cut -d: -f1 | tr "\n" " ")" = "2 3 " ]'

# Bad input: exit 1, nothing written; bad usage: exit 2.
"$cli" print missing.asm never.pdf >/dev/null 2>&1
check "unreadable source exits 1" '[ $? -eq 1 ] && [ ! -e never.pdf ]'
echo keep >old.pdf
"$cli" print blink51.asm nowhere/old.pdf >/dev/null 2>err.txt
check "unwritable pdf exits 1 with a message" '[ $? -eq 1 ] && grep -q "Cannot write" err.txt'
"$cli" print blink51.asm >/dev/null 2>&1
check "missing output is bad usage" '[ $? -eq 2 ]'
"$cli" print --lines 3-1 blink51.asm x.pdf >/dev/null 2>&1
check "backwards range is bad usage" '[ $? -eq 2 ]'
"$cli" print --bogus blink51.asm x.pdf >/dev/null 2>&1
check "unknown option is bad usage" '[ $? -eq 2 ]'
exit $fail
