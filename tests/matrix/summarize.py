#!/usr/bin/env python3
"""Builds matrix.md from <app>-r<N>.json in MATRIX_RESULTS: one row per application,
one column per case, 'passes/runs' in each cell; failures listed below with what appeared."""
import glob
import json
import os
import re
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from session import RESULTS, USERCLIP  # noqa: E402
from verdict import CASES  # noqa: E402

ORDER = ['xterm', 'xterm+readline', 'featherpad', 'mousepad', 'gedit', 'kate', 'writer',
         'writer-noautocorrect', 'chromium-textarea', 'chromium-contenteditable']
COLUMNS = ['1 plain', '2 delimiter', '3 key code', '3b typed on', '4 cursor', '4b typed on', '5 formatted',
           '6 clipboard', '7 delay 40', '7 delay 120', '7 delay 240']


def load(pattern):
    records = []
    for path in sorted(glob.glob(pattern)):
        m = re.search(r'/([^/]+)-r(\d+)\.json$', path)
        if m:
            for r in json.load(open(path)):
                records.append(dict(r, app=m.group(1), round=int(m.group(2))))
    return records


def cells(records):
    """{(app, column): (passes, runs)}; column '6 clipboard' counts every expansion's check."""
    out = {}
    for r in records:
        if r.get('passed') is None:
            continue
        keys = [(r['app'], r['case'], bool(r['passed']))]
        if 'clipboard_1s' in r:
            keys.append((r['app'], '6 clipboard', r['clipboard_1s'] == USERCLIP))
        for app, col, ok in keys:
            p, n = out.get((app, col), (0, 0))
            out[(app, col)] = (p + ok, n + 1)
    return out


def cell_text(c):
    if c is None:
        return 'not tested'
    p, n = c
    return ('PASS %d/%d' if p == n else 'FAIL %d/%d' if p == 0 else 'FLAKY %d/%d') % (p, n)


def timings(records, app):
    def med(case, key):
        v = [r[key] for r in records if r['app'] == app and r['case'] == case and r.get(key) is not None]
        return '%.0f' % (1000 * statistics.median(v)) if v else '-'
    return med('1 plain', 'stats_after_s'), med('3 key code', 'stats_after_s'), med('1 plain', 'visible_after_s')


def render(records):
    table = cells(records)
    apps = [a for a in ORDER if any(r['app'] == a for r in records)]
    lines = ['| app | ' + ' | '.join(COLUMNS) + ' |', '|' + '---|' * (len(COLUMNS) + 1)]
    for a in apps:
        lines.append('| %s | %s |' % (a, ' | '.join(cell_text(table.get((a, c))) for c in COLUMNS)))
    lines += ['', 'Failures (distinct outcomes):', '']
    seen = set()
    for r in records:
        if r.get('passed') is False:
            key = (r['app'], r['case'], json.dumps(r.get('got', {}).get('text')), r.get('note'))
            if key not in seen:
                seen.add(key)
                lines.append('- %s / %s: got %r (expected %r) %s' % (
                    r['app'], r['case'], r.get('got', {}).get('text'), r.get('expected'), r.get('note') or ''))
    lines += ['', 'Timing, median ms from the end of `xdotool type` to the statistics write '
              '(plain, key code) and to the text showing in the page (Chromium):', '']
    for a in apps:
        lines.append('- %s: plain %s, key code %s, visible %s' % ((a,) + timings(records, a)))
    return '\n'.join(lines) + '\n'


if __name__ == '__main__':
    recs = load(os.path.join(RESULTS, '*-r*.json'))
    text = render(recs)
    open(os.path.join(RESULTS, 'matrix.md'), 'w').write(text)
    print(text)
