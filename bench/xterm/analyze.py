#!/usr/bin/env python3
"""Replays what the probe saw (bytes with arrival times) against what the typist pressed (key
presses with their times, the same clock) and prints one JSON object:
  ok          the final text, backspaces applied, is WANT
  expansions  how many times MARKER (the snippet's last character) arrived
  median_ms, p95_ms, max_ms
              per expansion, from the press of the key that triggered it (the n-th TRIGGER key)
              to the arrival of the n-th MARKER: what the user waits for
  tty_median_ms, tty_p95_ms
              the same from the arrival of the trigger byte instead of its press; a trigger
              held back during an expansion arrives late, so this hides the wait
  end_lag_ms  from the last key press to the last byte on the screen
args: PROBE_LOG TYPIST_LOG WANT ARM TRIGGER MARKER"""
import json, statistics, sys

probe = [json.loads(l) for l in open(sys.argv[1])]
keys = [json.loads(l) for l in open(sys.argv[2])]
want, arm, trig, marker = sys.argv[3], sys.argv[4], sys.argv[5], sys.argv[6]


def figures(samples):
    if not samples:
        return None, None, None
    s = sorted(samples)
    return round(statistics.median(s), 1), round(s[int(0.95 * (len(s) - 1))], 1), round(s[-1], 1)


# The press of each triggering key: the trigger right after the abbreviation's last character.
presses = [t for (t, ch), (_, before) in zip(keys[1:], keys) if chr(ch) == trig and chr(before) == arm]
buf, arrivals, tty = [], [], []
armed, t_trig = False, None
for t, ch in probe:
    if ch in (127, 8):
        if buf:
            buf.pop()
        continue
    c = '\n' if ch == 13 else chr(ch)
    buf.append(c)
    if c == arm and t_trig is None:
        armed = True
    if armed and c == trig and t_trig is None:
        t_trig, armed = t, False
    elif c == marker:
        arrivals.append(t)
        if t_trig is not None:
            tty.append((t - t_trig) * 1000)
            t_trig = None
text = ''.join(buf)
lat = [(a - p) * 1000 for a, p in zip(arrivals, presses)]
median, p95, worst = figures(lat)
tty_median, tty_p95, _ = figures(tty)
print(json.dumps({
    'ok': text == want and len(arrivals) == len(presses), 'expansions': len(arrivals),
    'median_ms': median, 'p95_ms': p95, 'max_ms': worst,
    'tty_median_ms': tty_median, 'tty_p95_ms': tty_p95,
    'end_lag_ms': round((probe[-1][0] - keys[-1][0]) * 1000, 1) if probe and keys else None,
    'mismatch_at': next((i for i, (a, b) in enumerate(zip(text, want)) if a != b),
                        min(len(text), len(want))) if text != want else None}))
