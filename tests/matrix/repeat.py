#!/usr/bin/env python3
"""Repeats one case many times in one application (one Quillet, one window), to size
a flaky cell.  usage: repeat.py APP CASE DELAY N [nohtml]   -> MATRIX_RESULTS/repeat-<app>-<case>-<delay>.json"""
import json, os, sys, time
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_matrix import APPS, run_case  # noqa: E402
from session import RESULTS, BOLD_RTF, Session, rtfd_from_rtf  # noqa: E402
import verdict  # noqa: E402

app_name, delay, n = sys.argv[1], int(sys.argv[3]), int(sys.argv[4])
case = [c for c in verdict.CASES if c.split()[0] == sys.argv[2] or c == sys.argv[2]][0]
typed, _, mode, after = verdict.CASES[case]
verdict.CASES[case] = (typed, delay, mode, after)
app = APPS[app_name]()
s = Session(':133', 'repeat-' + app_name.replace('+', '_'))
recs = []
try:
    s.start_x()
    assert app.start(s)
    assert s.start_quillet(mode, rtfd_from_rtf(BOLD_RTF, s.dir), 'rep', html='nohtml' not in sys.argv[5:])
    for i in range(n):
        recs.append(run_case(s, app, case, lambda m: None))
    bad = ['#%d %r %s' % (i, r['got']['text'], r['note']) for i, r in enumerate(recs) if not r['passed']]
    print('%s %s delay %d: %d/%d passed; failures: %r' % (app_name, case, delay, n - len(bad), n, bad))
finally:
    s.close()
os.makedirs(RESULTS, exist_ok=True)
with open(os.path.join(RESULTS, 'repeat-%s-%s-%d.json' % (app_name, case.split()[0], delay)), 'w') as f:
    json.dump(recs, f, indent=1)
