#!/usr/bin/env bash
# Runs the orvex tool as a user would and checks statuses, messages and files.
set -u
orvex=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
passed=0 failed=0

check() {  # name, expected status, command...
    local name=$1 want=$2
    shift 2
    "$@" >"$tmp/out" 2>"$tmp/err"
    local got=$?
    if [ "$got" -eq "$want" ]; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $name: status $got, expected $want"; cat "$tmp/err"; fi
}
expect_in() {  # name, file, pattern
    if grep -q -- "$3" "$2"; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $1: '$3' not in $(basename "$2")"; cat "$2"; fi
}

# A blinker on a closed 100-field: period 2, population 3.
python3 - "$tmp/blinker.txt" <<'PY'
import sys
rows = [['.'] * 100 for _ in range(100)]
for j in (49, 50, 51):
    rows[50][j] = '1'
open(sys.argv[1], 'w').write(''.join(''.join(r) + '\n' for r in rows))
PY
check "blinker runs" 0 "$orvex" simulate --family 0 --rule 4 --grid "$tmp/blinker.txt" --steps 3 --dump "$tmp/d.txt" --stats
expect_in "blinker population" "$tmp/out" "^population 3$"
expect_in "blinker steps" "$tmp/out" "^steps 3$"
if [ "$(sed -n 50p "$tmp/d.txt" | cut -c50-52)$(sed -n 51p "$tmp/d.txt" | cut -c50-52)" = ".1..1." ]; then
    passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL blinker turned"; fi
check "dump to stdout" 0 "$orvex" simulate --rule 4 --grid "$tmp/blinker.txt" --steps 2 --dump -
if cmp -s "$tmp/out" "$tmp/blinker.txt"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL period 2"; fi

# Settings are normalised as the saver does: --size 50 runs a field of 100.
check "small size normalised" 0 "$orvex" simulate --size 50 --steps 1 --dump "$tmp/s.txt"
[ "$(wc -l <"$tmp/s.txt")" -eq 100 ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL size 50"; }
check "family out of range" 0 "$orvex" simulate --family 9 --rule 11 --steps 1
expect_in "summary" "$tmp/out" "Life / Walled Cities, 100x100 closed: 1 steps"

# Bad arguments: status 2 and a message naming the argument.
check "steps not a number" 2 "$orvex" simulate --steps many
expect_in "names --steps" "$tmp/err" "steps"
check "negative steps" 2 "$orvex" simulate --steps -4
check "unknown option" 2 "$orvex" simulate --colour red
expect_in "names --colour" "$tmp/err" "colour"
check "no subcommand" 2 "$orvex"

# Files: unreadable, a folder, not square, too small.
check "missing grid" 1 "$orvex" simulate --grid "$tmp/none.txt"
expect_in "names the file" "$tmp/err" "none.txt"
check "grid is a folder" 1 "$orvex" simulate --grid "$tmp"
head -c 5000 /dev/urandom >"$tmp/garbage.txt"
check "binary grid" 1 "$orvex" simulate --grid "$tmp/garbage.txt"
head -n 99 "$tmp/blinker.txt" >"$tmp/short.txt"
check "grid not square" 1 "$orvex" simulate --grid "$tmp/short.txt"
check "dump into a missing folder" 1 "$orvex" simulate --steps 1 --dump "$tmp/no/such/file"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
