#!/usr/bin/env bash
# Runs the orvex tool as a user would and checks statuses, messages and files.
set -u
orvex=$1
source "$(dirname "$0")/cli_checks.sh"

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

# Rules in notation: a catalogue rule by its sets, one of its own, a refused one;
# a pattern file runs its own rule unless --rule says otherwise.
check "rule typed" 0 "$orvex" simulate --rule B36/S23 --grid "$tmp/blinker.txt" --steps 1
expect_in "own rule named" "$tmp/out" "^Life / B36/S23, 100x100"
check "rule refused" 2 "$orvex" simulate --rule B9/S23
expect_in "refusal says why" "$tmp/err" 'Rule "B9/S23": a cell has at most 8 neighbours, not 9.'
printf 'x = 3, y = 1, rule = 345/2/4\n3o!\n' >"$tmp/gen.rle"
check "file's own rule" 0 "$orvex" simulate --pattern-file "$tmp/gen.rle" --steps 1
expect_in "runs the file's rule" "$tmp/out" "^Generation / B2/S345/C4"
check "rule over the file's" 0 "$orvex" simulate --pattern-file "$tmp/gen.rle" --rule 4 --steps 1
expect_in "asked rule wins" "$tmp/out" "^Life / Conway's Life"
check "pattern-info rule" 0 "$orvex" pattern-info "$tmp/gen.rle"
expect_in "in notation" "$tmp/out" "^runs as B2/S345/C4$"

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
# Inputs that never end or never fit: refused at once, with status 1.
mkfifo "$tmp/fifo"
check "grid is a FIFO" 1 timeout 10 "$orvex" simulate --grid "$tmp/fifo"
check "grid is /dev/zero" 1 timeout 10 "$orvex" simulate --grid /dev/zero
expect_in "names a device" "$tmp/err" "not a regular file"
truncate -s 17M "$tmp/huge.txt"
check "huge grid" 1 "$orvex" simulate --grid "$tmp/huge.txt"
check "huge pattern file" 1 "$orvex" pattern-info "$tmp/huge.txt"
check "rng-seed near the 64-bit limit" 2 "$orvex" simulate --rng-seed 9223372036854775000 --steps 1

# Settings files: what the saver runs with after reading and normalising one.
check "no settings file" 0 "$orvex" settings "$tmp/none.ini"
expect_in "start colour" "$tmp/out" "^MainColor = 1022$"
expect_in "start reset mode" "$tmp/out" "^ResetMode = 0$"
expect_in "start reset time" "$tmp/out" "^ResetTimeValue = 10.000000$"
mkdir -p "$tmp/maker/Patterns2d"
printf '1021\r\n1027\r\n1\r\n11\r\n9\r\n5\r\n300\r\n1\r\n1\r\n1047\r\n1\r\n1\r\n0\r\n0\r\n45.5\r\nAcorn\r\nsunset\r\n' \
    >"$tmp/maker/ss_ca_02.ini"
check "settings without the pattern file" 0 "$orvex" settings "$tmp/maker/ss_ca_02.ini"
[ "$(head -n 1 "$tmp/out")|$(sed -n 16p "$tmp/out")|$(sed -n 17p "$tmp/out")|$(wc -l <"$tmp/out")" = \
  "MainColor = 1021|picture_name = sunset.bmp|rule = B2356/S1456/C16 (Xtasy)|17" ] &&
    passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL settings order"; cat "$tmp/out"; }
expect_in "missing pattern file falls back" "$tmp/out" "^pattern = 0$"
expect_in "lighting identifier" "$tmp/out" "^LightingNum = 2$"
expect_in "reset identifier 0 is repeat" "$tmp/out" "^ResetMode = 1$"
expect_in "Generation rule bounded" "$tmp/out" "^life_rule = 9$"
printf '#Life 1.05\n#D acorn\n#N\n#P -3 -1\n.*.....\n...*...\n**..***\n' >"$tmp/maker/Patterns2d/Acorn.lif"
check "settings with the pattern file" 0 "$orvex" settings "$tmp/maker/ss_ca_02.ini"
expect_in "pattern file used" "$tmp/out" "^pattern = 10$"
check "settings file is a folder" 1 "$orvex" settings "$tmp/maker"
check "settings needs a file" 2 "$orvex" settings

# Seeds, pattern files and automatic resets.
check "block seed" 0 "$orvex" simulate --seed 5 --steps 0 --stats
expect_in "block 5*5" "$tmp/out" "^population 25$"
check "same generator seed" 0 "$orvex" simulate --seed 1 --size 300 --rng-seed 77 --steps 0 --dump "$tmp/a.txt"
"$orvex" simulate --seed 1 --size 300 --rng-seed 77 --steps 0 --dump "$tmp/b.txt"
cmp -s "$tmp/a.txt" "$tmp/b.txt" && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL rng-seed repeats"; }
check "default seed is Random_Points" 0 "$orvex" simulate --rng-seed 77 --steps 0 --stats
grep -q "^population 0$" "$tmp/out" && { failed=$((failed + 1)); echo "FAIL default seed empty"; } || passed=$((passed + 1))
check "seed out of range" 2 "$orvex" simulate --seed 7
check "two seeds at once" 2 "$orvex" simulate --seed 1 --grid "$tmp/blinker.txt"
printf '#Life 1.05\r\n#D conwayslife\r\n#P -1 0\r\n***\r\n' >"$tmp/blinker.lif"
check "blinker file repeats" 0 "$orvex" simulate --rule 4 --pattern-file "$tmp/blinker.lif" --reset 1 --steps 60 --stats
expect_in "reset at every short check" "$tmp/out" "^resets 10$"
expect_in "blinker file population" "$tmp/out" "^population 3$"
check "time resets on tick time" 0 "$orvex" simulate --rng-seed 1 --reset 2 --reset-time 10 --steps 100 --stats
expect_in "a reset every 11 s of 750 ms ticks" "$tmp/out" "^resets 6$"
check "reset mode out of range" 2 "$orvex" simulate --reset 3
printf '#Life 1.06\n0 0\n' >"$tmp/v106.lif"
check "unusable pattern file falls back" 0 "$orvex" simulate --pattern-file "$tmp/v106.lif" --rng-seed 5 --steps 0 --stats
expect_in "says Random_Points" "$tmp/err" "Random_Points"
check "pattern-info blinker" 0 "$orvex" pattern-info "$tmp/blinker.lif" --rule 4 --size 300
expect_in "loads" "$tmp/out" "^loads yes$"
expect_in "cells" "$tmp/out" "^cells 3 on 300x300$"
expect_in "allowed" "$tmp/out" "^allowed yes (Conway's Life)$"
check "pattern-info all rules" 0 "$orvex" pattern-info "$tmp/blinker.lif"
expect_in "allowed for" "$tmp/out" "^allowed for Conway's Life$"
check "pattern-info other version" 1 "$orvex" pattern-info "$tmp/v106.lif" --rule 4
expect_in "does not load" "$tmp/out" "^loads no"
check "pattern-info folder" 1 "$orvex" pattern-info "$tmp"
check "pattern-info rule out of range" 2 "$orvex" pattern-info "$tmp/blinker.lif" --rule 12
printf '#N Blinker\nx = 3, y = 1, rule = b3s23\n3o!\n' >"$tmp/blinker.rle"
check "pattern-info RLE" 0 "$orvex" pattern-info "$tmp/blinker.rle"
for line in "format RLE" "size 3x1" "rule b3s23" "catalogue rule Conway's Life (Life)" "cells 3 on 100x100" \
    "allowed for Conway's Life"; do expect_in "$line" "$tmp/out" "^$line$"; done
check "RLE blinker repeats" 0 "$orvex" simulate --rule 4 --pattern-file "$tmp/blinker.rle" --reset 1 --steps 60 --stats
expect_in "RLE blinker period" "$tmp/out" "^population 3$"
printf '!Blinker\nOOO\n' >"$tmp/blinker.cells"
check "pattern-info plaintext" 0 "$orvex" pattern-info "$tmp/blinker.cells"
expect_in "plaintext format" "$tmp/out" "^format plaintext$"
expect_in "plaintext filter" "$tmp/out" "^allowed for none$"
{ echo "x = 1000000000, y = 1000000000"; head -c 4000000 /dev/zero | tr '\0' 'o'; } >"$tmp/claim.rle"
check "RLE claiming 10^9 a side" 1 timeout 5 "$orvex" pattern-info "$tmp/claim.rle"
expect_in "claim refused" "$tmp/out" "^loads no (unusable RLE file: the header claims"

cli_summary
