"""X session, Quillet and input/clipboard helpers for the application matrix.

Runs live under MATRIX_WORK and results under MATRIX_RESULTS (scripts/matrix
sets both; without them, a temporary folder removed at exit holds the runs and
results go to ./results). Every process started here is recorded by PID (and
process group) and stopped by that id only.
"""
import atexit
import datetime
import os
import plistlib
import re
import shutil
import signal
import subprocess
import tempfile
import time

WORK = os.environ.get('MATRIX_WORK')
if not WORK:  # run alone: the sessions go with the process
    WORK = tempfile.mkdtemp(prefix='quillet-matrix-')
    atexit.register(shutil.rmtree, WORK, ignore_errors=True)
RESULTS = os.environ.get('MATRIX_RESULTS') or os.path.join(os.getcwd(), 'results')
QUILLET = os.environ.get('QUILLET_BIN', 'quillet')
TOOL = os.environ.get('QUILLET_TOOL', 'quillet-tool')
USERCLIP = 'USERCLIP'

GROUP = 'A0000000-0000-4000-8000-000000000001'
_DATE = datetime.datetime(2025, 1, 1)


def snippet(i, abbreviation, plain, formatted=None, html=False):
    return {'uuid': 'A0000000-0000-4000-8000-%012d' % (100 + i), 'groupUuid': GROUP,
            'abbreviation': abbreviation, 'abbreviationMatchType': 0, 'label': abbreviation,
            'plainText': plain, 'snippetType': 1 if formatted else 0, 'useCount': 0, 'flags': 0,
            'dateCreated': _DATE, 'dateModified': _DATE, 'formattedText': formatted or b'',
            'isConvertToHTML': html}


def rtfd_from_rtf(rtf_text, workdir):
    src = os.path.join(workdir, 'bold.rtf')
    with open(src, 'w') as f:
        f.write(rtf_text)
    return subprocess.run([TOOL, 'text', src, '--to', 'rtfd'], check=True,
                          capture_output=True).stdout


BOLD_RTF = '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Helvetica;}}\n\\f0\\fs24 plain \\b BOLDPART\\b0  end}\n'

TEXTS = {
    'zsig': 'Best regards,\nAnn',
    'zadr': 'Main St.{key:tab}Springfield',
    'zcur': '<b>%|</b>',
    'zfmt': 'plain BOLDPART end',
}


def library(extend_type, rtfd, html=True, prefs=None):
    snips = [snippet(0, 'zsig', TEXTS['zsig']), snippet(1, 'zadr', TEXTS['zadr']),
             snippet(2, 'zcur', TEXTS['zcur']),
             snippet(3, 'zfmt', TEXTS['zfmt'], formatted=rtfd, html=html)]
    return {'Preferences': dict({'extendType': extend_type, 'delimiters': ['space'],
                                 'isPlaySound': False, 'isAutomaticBackup': False}, **(prefs or {})),
            'Groups': [{'uuid': GROUP, 'name': 'Matrix', 'snippts': [s['uuid'] for s in snips],
                        'exceptionType': 0, 'expandType': 0, 'dateCreated': _DATE,
                        'dateModified': _DATE}],
            'Snippets': snips}


class Procs:
    """Processes started here, each in a session of its own so its children go with it."""

    def __init__(self, log_dir):
        self.log_dir = log_dir
        self.started = []  # (name, Popen)

    def start(self, name, argv, env, stdin=None):
        with open(os.path.join(self.log_dir, name + '.log'), 'ab') as log:
            p = subprocess.Popen(argv, env=env, stdout=log, stderr=subprocess.STDOUT,
                                 stdin=stdin or subprocess.DEVNULL, start_new_session=True)
        self.started.append((name, p))
        return p

    def stop(self, p, grace=5.0):
        if p.poll() is None:
            try:
                os.killpg(p.pid, signal.SIGTERM)  # the group this Popen created
            except ProcessLookupError:
                pass
            try:
                p.wait(grace)
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                p.wait(grace)
        self.started = [(n, q) for n, q in self.started if q is not p]

    def stop_all(self):
        for _, p in reversed(list(self.started)):
            self.stop(p)


class Session:
    def __init__(self, display, tag):
        self.display = display
        self.dir = os.path.join(WORK, 'runs', tag)
        # A fresh HOME each run: an editor's autosaved session from the last run
        # (mousepad reopens it in a second window) must not steal the typing.
        # (the document portal's FUSE mount under runtime/ may take a moment to go)
        wait_for(lambda: shutil.rmtree(self.dir, ignore_errors=True) or not os.path.exists(self.dir), 10, 0.3)
        os.makedirs(self.dir)
        self.home = os.path.join(self.dir, 'home')
        self.env = dict(os.environ, DISPLAY=display, HOME=self.home,
                        XDG_DATA_HOME=self.home + '/.local/share',
                        XDG_CONFIG_HOME=self.home + '/.config',
                        XDG_CACHE_HOME=self.home + '/.cache',
                        XDG_RUNTIME_DIR=os.path.join(self.dir, 'runtime'), LC_ALL='C.UTF-8',
                        NO_AT_BRIDGE='1')
        self.env.pop('WAYLAND_DISPLAY', None)
        os.makedirs(self.env['XDG_RUNTIME_DIR'], mode=0o700, exist_ok=True)
        self.lib_dir = os.path.join(self.env['XDG_DATA_HOME'], 'Orrery Labs', 'Quillet1')
        self.procs = Procs(self.dir)
        self.quillet = None
        self.clip_owner = None

    # -- X server and window manager ------------------------------------
    def start_x(self):
        """Xvfb on the first display from self.display up to :140 that is free and ours."""
        first = int(self.display.lstrip(':'))
        for n in range(first, 141):
            if display_taken(n):
                continue
            self.display = ':%d' % n
            self.env['DISPLAY'] = self.display
            xvfb = self.procs.start('xvfb', ['Xvfb', self.display, '-screen', '0', '1280x1024x24',
                                             '-nolisten', 'tcp', '-noreset'], self.env)
            wait_for(lambda: xvfb.poll() is not None or lock_pid(n) == xvfb.pid, 10)
            if xvfb.poll() is None and lock_pid(n) == xvfb.pid and \
                    wait_for(lambda: self.sh(['xdpyinfo']).returncode == 0, 10):
                break
            self.procs.stop(xvfb)
        else:
            raise RuntimeError('no free display between %s and :140' % first)
        out = subprocess.run(['dbus-daemon', '--session', '--fork', '--print-address=1',
                              '--print-pid=1'], env=self.env, capture_output=True, text=True)
        addr, pid = out.stdout.split()[:2]
        self.env['DBUS_SESSION_BUS_ADDRESS'] = addr
        self.dbus_pid = int(pid)
        self.procs.start('openbox', ['openbox'], self.env)
        wait_for(lambda: 'window id' in self.sh(['xprop', '-root', '_NET_SUPPORTING_WM_CHECK']).stdout, 10)

    def close(self):
        self.clip_release()
        self.procs.stop_all()
        if getattr(self, 'dbus_pid', None):
            try:  # the bus and the services it activated (portals, dconf) share its group
                os.killpg(self.dbus_pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            self.dbus_pid = None

    def sh(self, argv, timeout=20, input=None):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True,
                              timeout=timeout, input=input)

    # -- Quillet ----------------------------------------------------------
    def start_quillet(self, extend_type, rtfd, tag, html=True, prefs=None):
        os.makedirs(self.lib_dir, exist_ok=True)
        for name in ('settings.qlxdoc', 'statistics.plist'):
            path = os.path.join(self.lib_dir, name)
            if os.path.exists(path):
                os.remove(path)
        with open(os.path.join(self.lib_dir, 'settings.qlxdoc'), 'wb') as f:
            plistlib.dump(library(extend_type, rtfd, html, prefs), f, fmt=plistlib.FMT_XML)
        self.quillet = self.procs.start('quillet-' + tag, [QUILLET], self.env)
        ok = wait_for(lambda: os.path.exists(self.stats_path()) or self.quillet.poll() is not None, 15)
        time.sleep(0.5)
        return ok and self.quillet.poll() is None

    def stop_quillet(self):
        if self.quillet:
            self.procs.stop(self.quillet)
            self.quillet = None

    def stats_path(self):
        return os.path.join(self.lib_dir, 'statistics.plist')

    def expansions(self):
        try:
            with open(self.stats_path(), 'rb') as f:
                return parse_expanded(f.read())
        except OSError:
            return -1

    def wait_expansions(self, count, timeout=6.0):
        """Seconds until the statistics count reached count, or None."""
        t0 = time.monotonic()
        while time.monotonic() - t0 < timeout:
            if self.expansions() >= count:
                return time.monotonic() - t0
            time.sleep(0.005)
        return None

    # -- keyboard and windows ------------------------------------------
    def type(self, text, delay=12):
        self.sh(['xdotool', 'type', '--delay', str(delay), text], timeout=60)

    def key(self, *keys, delay=None):
        argv = ['xdotool', 'key'] + (['--delay', str(delay)] if delay is not None else []) + list(keys)
        self.sh(argv)

    def find_window(self, cls, timeout=30):
        wid = []

        def found():
            r = self.sh(['xdotool', 'search', '--onlyvisible', '--class', cls])
            wid[:] = r.stdout.split()
            return bool(wid)
        return wid[0] if wait_for(found, timeout) else None

    def activate(self, wid):
        self.sh(['xdotool', 'windowactivate', '--sync', wid], timeout=10)
        time.sleep(0.3)
        return self.sh(['xdotool', 'getactivewindow']).stdout.strip() == wid

    def window_name(self, wid):
        return self.sh(['xdotool', 'getwindowname', wid]).stdout.rstrip('\n')

    def screenshot(self, name):
        path = os.path.join(self.dir, name + '.png')
        self.sh(['import', '-window', 'root', '-display', self.display, path], timeout=30)
        return path

    # -- clipboard --------------------------------------------------------
    def clip_set(self, text):
        self.clip_release()
        path = os.path.join(self.dir, 'userclip.txt')
        with open(path, 'w') as f:
            f.write(text)
        self.clip_owner = self.procs.start('xclip', ['xclip', '-selection', 'clipboard', '-quiet',
                                                    '-loops', '0', '-i', path], self.env)
        return wait_for(lambda: self.clip_get() == text, 5)

    def clip_release(self):
        if self.clip_owner is not None:
            self.procs.stop(self.clip_owner)
            self.clip_owner = None

    def clip_get(self, target=None):
        argv = ['xclip', '-selection', 'clipboard', '-o'] + (['-t', target] if target else [])
        try:
            r = subprocess.run(argv, env=self.env, capture_output=True, timeout=5)
        except subprocess.TimeoutExpired:
            return None
        return r.stdout.decode('utf-8', 'replace') if r.returncode == 0 else None


def parse_expanded(data):
    """The 'expanded' counter of Quillet's statistics file (0 when absent)."""
    try:
        d = plistlib.loads(data)
    except Exception:  # a file caught half-written: the XML text may still tell
        m = re.search(rb'<key>allTime</key>\s*<dict>.*?<key>expanded</key>\s*<integer>(\d+)</integer>',
                      data, re.S)
        return int(m.group(1)) if m else 0
    total = d.get('allTime') if isinstance(d, dict) else None
    value = total.get('expanded') if isinstance(total, dict) else None
    return value if isinstance(value, int) else 0


def display_taken(n):
    return os.path.exists('/tmp/.X%d-lock' % n) or os.path.exists('/tmp/.X11-unix/X%d' % n)


def lock_pid(n):
    """The PID written in display n's lock file, or None."""
    try:
        with open('/tmp/.X%d-lock' % n) as f:
            return int(f.read().strip())
    except (OSError, ValueError):
        return None


def wait_for(cond, timeout, step=0.05):
    t0 = time.monotonic()
    while time.monotonic() - t0 < timeout:
        if cond():
            return True
        time.sleep(step)
    return False
