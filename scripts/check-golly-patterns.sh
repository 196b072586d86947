#!/usr/bin/env bash
# Compares the RLE reader with Golly's pattern collection (Debian package
# "golly"): every RLE file there must seed the same field, cell for cell, as
# the same pattern written out as a Life 1.05 file with one block (converted
# here, independently of the reader, on a field of 1000), and its header's rule must map to the
# expected catalogue rule. Not part of the test suite, which reads nothing
# outside the checkout; run it by hand when golly is installed.
#   scripts/check-golly-patterns.sh [ORVEX_TOOL [PATTERN_FOLDER]]
# Exit 77: no collection.
set -uo pipefail
cd "$(dirname "$0")/.."
orvex=${1:-build/linux/tools/orvex/orvex}
folder=${2:-/usr/share/golly/Patterns/Life}
[ -d "$folder" ] || { echo "SKIPPED: no $folder (apt-get install golly)"; exit 77; }
[ -x "$orvex" ] || { echo "no orvex tool at $orvex"; exit 2; }
exec python3 - "$orvex" "$folder" <<'PY'
import os, re, subprocess, sys, tempfile

orvex, folder = sys.argv[1], sys.argv[2]
SIZE = 1000

def to_life105(text):
    """The RLE's live cells as a Life 1.05 file with one block; states other than 1 are dead."""
    lines = text.splitlines()
    pos, k = None, 0
    while k < len(lines) and (not lines[k].strip() or lines[k].lstrip().startswith('#')):
        m = re.search(r'Pos=(-?\d+),(-?\d+)', lines[k]) if lines[k].startswith('#CXRLE') else None
        if m: pos = (int(m.group(1)), int(m.group(2)))
        k += 1
    header = dict((a.strip(), b.strip()) for a, b in (item.split('=', 1) for item in lines[k].split(',') if '=' in item))
    w, h = int(header['x']), int(header['y'])
    rows, row, count = [], [], ''
    prefix = ''
    for c in ''.join(lines[k + 1:]).split('!')[0]:
        if c.isdigit(): count += c; continue
        if c.isspace(): continue
        if c in 'pqrstuvwxy': prefix = c; continue
        n = int(count) if count else 1
        count = ''
        if c == '$':
            rows.append(row); rows.extend([[]] * (n - 1)); row = []
        else:
            alive = (c == 'o' or c == 'A') and not prefix
            row.extend(['*' if alive else '.'] * n)
        prefix = ''
    rows.append(row)
    x, y = pos if pos else (-(w // 2), -(h // 2))
    # Offsets are bounded to the field, so no cell past the first SIZE of a row or
    # the first SIZE + 1 rows can land in it: the rest is left out of the file.
    body = '\n'.join(''.join(r[:SIZE]) or '.' for r in rows[:SIZE + 1])
    return '#Life 1.05\n#D\n#P %d %d\n%s\n' % (x, y, body), header.get('rule', '')

def field(path):
    r = subprocess.run([orvex, 'simulate', '--pattern-file', path, '--size', str(SIZE), '--steps', '0',
                        '--dump', '-'], capture_output=True, text=True)
    if r.returncode != 0 or r.stderr:
        return None
    return r.stdout

def catalogue(path):
    r = subprocess.run([orvex, 'pattern-info', path], capture_output=True, text=True)
    m = re.search(r'^catalogue rule (.*)$', r.stdout, re.M)
    return m.group(1) if m else None

same = differ = 0
rules = {}
wrong_rules = []
with tempfile.TemporaryDirectory() as tmp:
    for root, _, names in sorted(os.walk(folder)):
        for name in sorted(n for n in names if n.endswith('.rle')):
            path = os.path.join(root, name)
            life, rule = to_life105(open(path, errors='replace').read())
            lif = os.path.join(tmp, 'converted.lif')
            open(lif, 'w').write(life)
            a, b = field(path), field(lif)
            if a is not None and a == b: same += 1
            else: differ += 1; print('DIFFERS', path)
            want = "Conway's Life (Life)" if re.fullmatch(r'[Bb]3/[Ss]23(:.*)?', rule) else 'none'
            got = catalogue(path)
            rules[(rule.split(':')[0] or '(none)', got)] = rules.get((rule.split(':')[0] or '(none)', got), 0) + 1
            if got != want: wrong_rules.append((path, rule, got))
for (rule, got), n in sorted(rules.items()):
    print('%4d files with rule %s: catalogue rule %s' % (n, rule, got))
for path, rule, got in wrong_rules:
    print('WRONG RULE', path, rule, got)
print('%d RLE files placed as their Life 1.05 form, %d differ; %d rules wrong' % (same, differ, len(wrong_rules)))
sys.exit(1 if differ or wrong_rules else 0)
PY
