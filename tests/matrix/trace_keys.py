#!/usr/bin/env python3
"""Diagnosis of the flaky 'typed on' cells: repeats a case with `xinput test-xi2 --root`
logging every raw key event the server processed (xdotool's and Quillet's alike, in
server order), keeps each trial's sequence and counts the trials where one of Quillet's
keys (Left, Tab) went down while a Shift was down.
usage: trace_keys.py N [APP [DELAY [CASE]]]   -> MATRIX_RESULTS/trace-<case>-<app>-<delay>.json"""
import json, os, re, sys, time
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_matrix import APPS, run_case  # noqa: E402
from session import RESULTS, BOLD_RTF, Session, rtfd_from_rtf  # noqa: E402
import verdict  # noqa: E402

RAW = re.compile(r'\(Raw(KeyPress|KeyRelease)\)\s+device: \S+ \(\d+\)\s+detail: (\d+)')


def raw_keys(xi2_text, names):
    """'+h -h +Shift_L ...' from `xinput test-xi2` output; names maps keycode -> keysym."""
    return ' '.join(('+' if t == 'KeyPress' else '-') + names.get(d, d) for t, d in RAW.findall(xi2_text))


def pressed_under_shift(keys, watched=('Left', 'Tab')):
    """Presses of a watched key made while some Shift key was down, in server order."""
    down, hits = set(), []
    for token in keys.split():
        name = token[1:]
        if token[0] == '+':
            if name in watched and any(d.startswith('Shift') for d in down):
                hits.append(name)
            down.add(name)
        else:
            down.discard(name)
    return hits


def main():
    n = int(sys.argv[1])
    name = sys.argv[2] if len(sys.argv) > 2 else 'chromium-textarea'
    delay = int(sys.argv[3]) if len(sys.argv) > 3 else 40
    case = sys.argv[4] if len(sys.argv) > 4 else '4b typed on'
    verdict.CASES[case] = verdict.CASES[case][:1] + (delay,) + verdict.CASES[case][2:]
    app = APPS[name]()
    s = Session(':134', 'trace-' + name)
    trials = []
    try:
        s.start_x()
        assert app.start(s)
        assert s.start_quillet(0, rtfd_from_rtf(BOLD_RTF, s.dir), 'trace')
        log = os.path.join(s.dir, 'xi2.txt')
        s.procs.start('xi2', ['sh', '-c', 'exec stdbuf -oL xinput test-xi2 --root > %s' % log], s.env)
        names = {p[1]: p[3] for p in (l.split() for l in s.sh(['xmodmap', '-pke']).stdout.splitlines()) if len(p) > 3}
        time.sleep(1)
        for i in range(n):
            app.prepare(s)
            start = os.path.getsize(log)
            rec = run_case(s, app, case, lambda m: None)
            with open(log, errors='replace') as f:
                f.seek(start)
                rec['keys'] = raw_keys(f.read(), names)
            rec['under_shift'] = pressed_under_shift(rec['keys'])
            trials.append(rec)
            print(i, rec['passed'], repr(rec['got']['text']), rec['under_shift'], flush=True)
    finally:
        s.close()
    failed = {i for i, r in enumerate(trials) if not r['passed']}
    caught = {i for i, r in enumerate(trials) if r['under_shift']}
    print('%s %s delay %d: %d trials, %d failed, %d with a Quillet key pressed under Shift, %d of the '
          'failures among them' % (name, case, delay, n, len(failed), len(caught), len(failed & caught)))
    os.makedirs(RESULTS, exist_ok=True)
    with open(os.path.join(RESULTS, 'trace-%s-%s-%d.json' % (case.split()[0], name, delay)), 'w') as f:
        json.dump(trials, f, indent=1)


if __name__ == '__main__':
    main()
