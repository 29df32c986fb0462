#!/usr/bin/env python3
"""Runs the cases against one or more applications, one fresh Xvfb (+openbox) each.

usage: run_matrix.py [--display N] [--cases a,b] APP...
APP: xterm xterm+readline featherpad mousepad gedit kate writer writer-noautocorrect
     chromium-textarea chromium-contenteditable
Results: MATRIX_RESULTS/<app><tag>.json (one record per cell)."""
import argparse
import json
import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import apps as A  # noqa: E402
from session import RESULTS, USERCLIP, BOLD_RTF, Session, rtfd_from_rtf  # noqa: E402
from verdict import CASES, EXPECTED, judge  # noqa: E402

APPS = {
    'xterm': A.Xterm, 'xterm+readline': A.XtermReadline, 'featherpad': A.FeatherPad,
    'mousepad': A.Mousepad, 'gedit': A.Gedit, 'kate': A.Kate, 'writer': A.Writer,
    'writer-noautocorrect': lambda: A.Writer(autocorrect=False),
    'chromium-textarea': lambda: A.Chromium('ta'),
    'chromium-contenteditable': lambda: A.Chromium('ce'),
}


def visible_after(s, app, expected_text, t_end, timeout=3.0):
    """Chromium only: seconds from the end of typing until the page shows expected_text."""
    while time.monotonic() - t_end < timeout:
        st = app.state(s) or {}
        if (st.get('ta') if app.field == 'ta' else st.get('cet')) == expected_text:
            return time.monotonic() - t_end
        time.sleep(0.01)
    return None


def run_case(s, app, case, log):
    typed, delay, _, after = CASES[case]
    rec = {'app': app.name, 'case': case, 'typed': typed, 'delay_ms': delay,
           'expected': EXPECTED[case]}
    rec['focused'] = app.prepare(s)
    rec['clip_set'] = s.clip_set(USERCLIP)
    n0 = max(s.expansions(), 0)
    t0 = time.monotonic()
    s.type(typed, delay)
    t_end = time.monotonic()
    rec['typing_s'] = round(t_end - t0, 3)
    dt = s.wait_expansions(n0 + 1)
    rec['stats_after_s'] = None if dt is None else round(time.monotonic() - t_end - 0.0, 3)
    if isinstance(app, A.Chromium) and case in ('1 plain', '7 delay 40', '7 delay 120'):
        v = visible_after(s, app, EXPECTED[case], t_end)
        rec['visible_after_s'] = None if v is None else round(v, 3)
    if after:
        time.sleep(0.1)
        s.type(after, delay)
    time.sleep(1.0)
    rec['clipboard_1s'] = s.clip_get()
    rec['expansions'] = max(s.expansions(), 0) - n0
    got = app.read(s, rich=case == '5 formatted' and app.rich)
    rec['got'] = got
    rec['passed'], rec['note'] = judge(case, got, app.name, app.rich)
    if not rec['passed']:
        rec['screenshot'] = s.screenshot('fail-%s-%s' % (app.name.replace('+', '_'), case.replace(' ', '_')))
    elif case == '5 formatted' and app.rich:
        rec['screenshot'] = s.screenshot('%s-formatted' % app.name.replace('+', '_'))
    log('%-26s %-12s %s  got=%r  exp=%s clip=%r %s' % (
        app.name, case, 'PASS' if rec['passed'] else 'FAIL', got.get('text'),
        rec['stats_after_s'], rec['clipboard_1s'], rec['note']))
    return rec


def run_app(name, display, cases, log, html=True, prefs=None):
    app = APPS[name]()
    s = Session(display, name.replace('+', '_'))
    records = []
    try:
        s.start_x()
        rtfd = rtfd_from_rtf(BOLD_RTF, s.dir)
        t = time.monotonic()
        if not app.start(s):
            log('%s: window never appeared' % name)
            s.screenshot('no-window')
            return [{'app': name, 'case': c, 'passed': None, 'note': 'app did not start'} for c in cases]
        log('%s started in %.1fs (window %s) on %s' % (name, time.monotonic() - t, app.wid, s.display))
        for mode in (0, 1):
            mine = [c for c in cases if CASES[c][2] == mode]
            if not mine:
                continue
            if not s.start_quillet(mode, rtfd, 'mode%d' % mode, html, prefs):
                log('quillet did not start')
                records += [{'app': name, 'case': c, 'passed': None, 'note': 'quillet did not start'}
                            for c in mine]
                continue
            for c in mine:
                records.append(run_case(s, app, c, log))
            s.stop_quillet()
        s.screenshot('end')
    finally:
        s.close()
    return records


def main():
    # Stopped with SIGTERM (kill PID): the finally blocks still stop what was started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    ap = argparse.ArgumentParser()
    ap.add_argument('--display', type=int, default=122)
    ap.add_argument('--cases', default=','.join(CASES))
    ap.add_argument('--tag', default='')
    ap.add_argument('--no-html', action='store_true', help='formatted snippet with isConvertToHTML false')
    ap.add_argument('--prefs', type=json.loads, default=None, help='extra Preferences, JSON')
    ap.add_argument('apps', nargs='+')
    a = ap.parse_args()
    cases = [c for c in CASES if c.split()[0] in a.cases.split(',') or c in a.cases.split(',')]
    os.makedirs(RESULTS, exist_ok=True)
    for i, name in enumerate(a.apps):
        logf = open(os.path.join(RESULTS, 'run.log'), 'a')

        def log(msg):
            line = time.strftime('%H:%M:%S ') + msg
            print(line, flush=True)
            logf.write(line + '\n')
            logf.flush()
        recs = run_app(name, ':%d' % (a.display + i), cases, log, html=not a.no_html, prefs=a.prefs)
        with open(os.path.join(RESULTS, name + a.tag + '.json'), 'w') as f:
            json.dump(recs, f, indent=1)


if __name__ == '__main__':
    main()
