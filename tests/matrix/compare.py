#!/usr/bin/env python3
"""Compares two matrix.md results cell by cell: prints every cell whose verdict changed and
exits 1 when a cell that passed before no longer passes (a fault of the change until shown
otherwise). Cells the newer run did not test are left out, so a run of one application
compares only its own row.

usage: compare.py PREVIOUS.md CURRENT.md"""
import sys


def table(text):
    """{(app, column): cell text} from the first table of a matrix.md, in table order."""
    rows = []
    for line in text.splitlines():
        if line.startswith('|'):
            rows.append([c.strip() for c in line.strip().strip('|').split('|')])
        elif rows:
            break
    if len(rows) < 2:
        return {}
    columns = rows[0][1:]
    out = {}
    for cells in rows[2:]:
        for column, value in zip(columns, cells[1:]):
            out[(cells[0], column)] = value
    return out


def verdict(cell):
    """'PASS', 'FAIL' or 'FLAKY'; None for a cell that was not tested or is absent."""
    word = (cell or '').split(' ')[0]
    return word if word in ('PASS', 'FAIL', 'FLAKY') else None


def compare(previous, current):
    """(changes, regressions): lines 'app / column: before -> now'."""
    changes, regressions = [], []
    for key, now in current.items():
        after = verdict(now)
        if after is None:
            continue
        before = previous.get(key)
        if verdict(before) == after:
            continue
        line = '%s / %s: %s -> %s' % (key[0], key[1], before or 'not in the earlier result', now)
        changes.append(line)
        if verdict(before) == 'PASS':
            regressions.append(line)
    return changes, regressions


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    with open(argv[1], encoding='utf-8') as f:
        previous = table(f.read())
    with open(argv[2], encoding='utf-8') as f:
        current = table(f.read())
    changes, regressions = compare(previous, current)
    tested = sum(1 for v in current.values() if verdict(v))
    print('Compared %d tested cells with %s: %d changed, %d no longer pass.'
          % (tested, argv[1], len(changes), len(regressions)))
    for line in changes:
        print(('  NO LONGER PASSES  ' if line in regressions else '  changed           ') + line)
    return 1 if regressions else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
