#!/usr/bin/env python3
"""Control runs without Quillet: a person's equivalent of each expansion (type the
prefix, paste the snippet's text with the app's paste chord, press its keys), so a
failing cell can be told apart from what the application does by itself.

usage: control.py APP...   results: MATRIX_RESULTS/control-<app>.json"""
import json
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import apps as A  # noqa: E402
from run_matrix import APPS  # noqa: E402
from session import RESULTS, Session  # noqa: E402
from verdict import judge  # noqa: E402

# case -> steps: ('type', text) | ('paste', text) | ('key', keysym, times)
STEPS = {
    '1 plain': [('type', 'hi '), ('paste', 'Best regards,\nAnn')],
    '3 key code': [('type', 'hi '), ('paste', 'Main St.'), ('key', 'Tab', 1), ('paste', 'Springfield')],
    '4 cursor': [('type', 'hi '), ('paste', '<b></b>'), ('key', 'Left', 4), ('type', 'X')],
}


def perform(s, app, steps):
    chord = 'ctrl+shift+v' if isinstance(app, A.Xterm) else 'ctrl+v'
    for step in steps:
        if step[0] == 'type':
            s.type(step[1])
        elif step[0] == 'paste':
            s.clip_set(step[1])
            app.focus(s)
            s.key(chord)
            time.sleep(0.3)
        else:
            for _ in range(step[2]):
                s.key(step[1])
        time.sleep(0.1)


def main():
    for i, name in enumerate(sys.argv[1:]):
        app = APPS[name]()
        s = Session(':%d' % (132 + i), 'control-' + name.replace('+', '_'))
        recs = []
        try:
            s.start_x()
            if not app.start(s):
                print(name, 'did not start')
                continue
            for case, steps in STEPS.items():
                app.prepare(s)
                perform(s, app, steps)
                time.sleep(0.5)
                got = app.read(s)
                passed, note = judge(case, got, app.name, app.rich)
                recs.append({'app': name, 'case': case, 'steps': steps, 'got': got,
                             'passed': passed, 'note': note})
                print('control %-26s %-11s %s got=%r %s' % (name, case, 'PASS' if passed else 'FAIL',
                                                           got.get('text'), note), flush=True)
        finally:
            s.close()
        os.makedirs(RESULTS, exist_ok=True)
        with open(os.path.join(RESULTS, 'control-%s.json' % name), 'w') as f:
            json.dump(recs, f, indent=1)


if __name__ == '__main__':
    main()
