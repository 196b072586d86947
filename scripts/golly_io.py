"""Fields to and from Golly: a soup as orvex's grid text and as an RLE file on a
torus, and the cells of the RLE files bgolly writes. Shared by the rule test
against bgolly and the rule benchmark."""


def write_grid(path, soup):
    """A field of 0/1 rows in the text form orvex simulate --grid reads."""
    with open(path, "w") as f:
        f.write("".join("".join("1" if v else "." for v in row) + "\n" for row in soup))


def write_rle(path, soup, rule, states):
    """The same field as RLE on a torus of its size, in Golly's spelling of the rule."""
    n = len(soup)
    live, dead = ("o", "b") if states == 2 else ("A", ".")
    with open(path, "w") as f:
        f.write("x = %d, y = %d, rule = %s:T%d,%d\n" % (n, n, rule, n, n))
        f.write("$\n".join("".join(live if v else dead for v in row) for row in soup) + "!\n")


def rle_cells(text):
    """{(row, col): state} of an RLE, from its top-left corner (states past 24 as
    a prefix p..y and a letter)."""
    body = "".join(l for l in text.splitlines()[1:] if not l.startswith("#"))
    cells, y, x, count, prefix = {}, 0, 0, "", 0
    for ch in body:
        if ch.isdigit():
            count += ch
            continue
        n = int(count) if count else 1
        count = ""
        if "p" <= ch <= "y":
            prefix = (ord(ch) - ord("p") + 1) * 24
            count = str(n) if n != 1 else ""
            continue
        if ch in "b.":
            x += n
        elif ch == "o" or "A" <= ch <= "X":
            state = 1 if ch == "o" else prefix + ord(ch) - ord("A") + 1
            for i in range(n):
                cells[(y, x + i)] = state
            x += n
        elif ch == "$":
            y += n
            x = 0
        elif ch == "!":
            break
        prefix = 0
    return cells


def dump_cells(text):
    """{(row, col): state} of orvex's dump text, non-empty cells only."""
    def value(c):
        if c.isdigit():
            return int(c)
        return ord(c) - ord("a") + 10 if "a" <= c <= "z" else ord(c) - ord("A") + 36
    return {(i, j): value(c) for i, row in enumerate(text.split()) for j, c in enumerate(row) if c != "."}
