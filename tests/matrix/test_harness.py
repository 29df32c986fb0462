#!/usr/bin/env python3
"""Checks on the harness itself: scripts/matrix --check, or python3 -m unittest test_harness
in this folder with QUILLET_BIN and QUILLET_TOOL set (a minute or two; needs Xvfb and the
applications)."""
import json
import os
import plistlib
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import apps  # noqa: E402
from session import (BOLD_RTF, TOOL, Session, library, lock_pid, parse_expanded,  # noqa: E402
                     rtfd_from_rtf)
from verdict import is_bold, judge  # noqa: E402
import run_matrix  # noqa: E402
import trace_keys  # noqa: E402
from session import wait_for  # noqa: E402
import summarize  # noqa: E402
import compare  # noqa: E402
from session import USERCLIP  # noqa: E402


class LibraryAsQuilletReadsIt(unittest.TestCase):
    """The library the matrix writes means to Quillet what the cases assume."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.path = os.path.join(cls.tmp.name, 'settings.qlxdoc')
        cls.rtfd = rtfd_from_rtf(BOLD_RTF, cls.tmp.name)
        with open(cls.path, 'wb') as f:
            plistlib.dump(library(0, cls.rtfd), f)

    def render(self, abbreviation):
        out = subprocess.run([TOOL, 'render', self.path, abbreviation], capture_output=True,
                             text=True, check=True).stdout
        return [(p['data'], p['key'], p['cursor']) for p in json.loads(out)['parts']]

    def test_every_snippet_loads_into_its_group(self):
        out = subprocess.run([TOOL, 'check', self.path], capture_output=True, text=True).stdout
        self.assertIn('1 groups, 4 snippets', out)

    def test_parts_keys_and_caret(self):
        self.assertEqual(self.render('zsig'), [('Best regards,\nAnn', '', 0)])
        self.assertEqual(self.render('zadr'), [('Main St.', '{key:tab}', 0), ('Springfield', '', 0)])
        self.assertEqual(self.render('zcur'), [('<b></b>', '', 4)])

    def test_formatted_snippet_carries_bold(self):
        rtfd = os.path.join(self.tmp.name, 'x.rtfd')
        with open(rtfd, 'wb') as f:
            f.write(self.rtfd)
        html = subprocess.run([TOOL, 'text', rtfd, '--to', 'html'], capture_output=True,
                              text=True, check=True).stdout
        self.assertTrue(is_bold(html, None), html)
        self.assertEqual(self.render('zfmt'), [('plain BOLDPART end', '', 0)])


class StatisticsCounter(unittest.TestCase):
    def test_reads_the_all_time_count_not_a_days_entry(self):
        data = plistlib.dumps({'last30Days': [{'expanded': 9}], 'allTime': {'expanded': 3}},
                              sort_keys=False)
        self.assertEqual(parse_expanded(data), 3)
        self.assertEqual(parse_expanded(plistlib.dumps({'allTime': {'expanded': 4}},
                                                       fmt=plistlib.FMT_BINARY)), 4)

    def test_half_written_file_counts_what_it_shows_or_nothing(self):
        data = plistlib.dumps({'allTime': {'expanded': 7, 'characters': 99}})
        self.assertEqual(parse_expanded(data[:data.index(b'</dict>')]), 7)
        self.assertEqual(parse_expanded(b'<?xml'), 0)


class BoldDetection(unittest.TestCase):
    # Shapes seen in this matrix: LibreOffice's HTML and RTF, Chromium's innerHTML.
    LO_HTML = ('<p>hi <font face="Helvetica, serif">plain </font><font face="Helvetica, serif">'
               '<b>BOLDPART</b></font><font face="Helvetica, serif"><span style="font-weight: '
               'normal">\nend</span></font></p>')
    LO_RTF = '{\\loch\nhi }{\\hich\\af5\\loch\\b\\f5\\loch\nBOLDPART}{\\hich\\af5\\loch\\b0\\f5\\loch\n end}'

    def test_bold_forms(self):
        self.assertTrue(is_bold(self.LO_HTML, None))
        self.assertTrue(is_bold(None, self.LO_RTF))
        self.assertTrue(is_bold('hi <span style="font-weight: 700;">BOLDPART</span>', None))

    def test_bold_elsewhere_or_switched_off_is_not_bold(self):
        self.assertFalse(is_bold('<b>plain</b> BOLDPART end', None))
        self.assertFalse(is_bold('<span style="font-weight: normal">BOLDPART</span>', None))
        self.assertFalse(is_bold(None, '{\\b plain\\b0  BOLDPART}'))
        self.assertFalse(is_bold(None, '{\\b0 BOLDPART}'))


class Verdicts(unittest.TestCase):
    def test_abbreviation_left_behind_fails(self):
        self.assertFalse(judge('1 plain', {'text': 'hi zsiBest regards,\nAnn'}, 'gedit', False)[0])
        self.assertFalse(judge('2 delimiter', {'text': 'hi Best regards,\nAnnok '}, 'gedit', False)[0])

    def test_nbsp_forgiven_only_in_contenteditable(self):
        got = {'text': 'hi\xa0<b>X</b>'}
        self.assertTrue(judge('4 cursor', got, 'chromium-contenteditable', True)[0])
        self.assertFalse(judge('4 cursor', got, 'gedit', False)[0])

    def test_tab_as_focus_move_needs_the_second_part_in_the_next_field(self):
        moved = {'text': 'hi Main St.', 'page': {'ta': 'hi Main St.', 'cet': 'Springfield'}}
        lost = {'text': 'hi Main St.', 'page': {'ta': 'hi Main St.', 'cet': ''}}
        self.assertTrue(judge('3 key code', moved, 'chromium-textarea', False)[0])
        self.assertFalse(judge('3 key code', lost, 'chromium-textarea', False)[0])
        self.assertFalse(judge('3 key code', {'text': 'hi Main St.Springfield'}, 'kate', False)[0])

    def test_typed_on_key_code_needs_the_typed_letter_after_the_second_part(self):
        self.assertTrue(judge('3b typed on', {'text': 'hi Main St.\tSpringfieldX'}, 'gedit', False)[0])
        self.assertFalse(judge('3b typed on', {'text': 'hi Main St.X\tSpringfield'}, 'gedit', False)[0])
        page = {'ta': 'hi Main St.', 'cet': 'Springfield', 'after': ''}
        self.assertFalse(judge('3b typed on', {'text': 'hi Main St.', 'page': page}, 'chromium-textarea', False)[0])
        page['cet'] = 'SpringfieldX'
        self.assertTrue(judge('3b typed on', {'text': 'hi Main St.', 'page': page}, 'chromium-textarea', False)[0])

    def test_rich_app_needs_bold(self):
        got = {'text': 'hi plain BOLDPART end', 'html': 'hi plain BOLDPART end'}
        self.assertFalse(judge('5 formatted', got, 'writer', True)[0])
        self.assertTrue(judge('5 formatted', got, 'gedit', False)[0])

    def test_page_title_with_browser_suffix(self):
        st = apps.parse_title('Q{"ta": "a}Q\\nb", "cet": ""}Q - Chromium')
        self.assertEqual(st['ta'], 'a}Q\nb')
        self.assertIsNone(apps.parse_title('init - Chromium'))


class MatrixSummary(unittest.TestCase):
    def rec(self, app, case, passed, clip=USERCLIP, rnd=1):
        return {'app': app, 'case': case, 'passed': passed, 'clipboard_1s': clip, 'round': rnd,
                'got': {'text': 'x'}, 'expected': 'y'}

    def test_rounds_and_clipboard_column(self):
        recs = [self.rec('gedit', '1 plain', True), self.rec('gedit', '1 plain', False, rnd=2),
                self.rec('gedit', '4 cursor', True, clip='hi Best'),
                {'app': 'kate', 'case': '1 plain', 'passed': None, 'note': 'app did not start'}]
        table = summarize.cells(recs)
        self.assertEqual(table[('gedit', '1 plain')], (1, 2))
        self.assertEqual(table[('gedit', '6 clipboard')], (2, 3))
        self.assertNotIn(('kate', '1 plain'), table)  # never ran: not a failure
        self.assertEqual([summarize.cell_text(c) for c in ((2, 2), (0, 2), (1, 2), None)],
                         ['PASS 2/2', 'FAIL 0/2', 'FLAKY 1/2', 'not tested'])
        md = summarize.render(recs)
        self.assertIn("gedit / 1 plain: got 'x'", md)
        self.assertIn('| kate | not tested', md)


class ResultComparison(unittest.TestCase):
    EARLIER = ('| app | 1 plain | 4 cursor | 5 formatted |\n|---|---|---|---|\n'
               '| xterm | PASS 3/3 | FAIL 0/3 | PASS 3/3 |\n| gedit | PASS 3/3 | PASS 3/3 | PASS 3/3 |\n'
               '\nFailures (distinct outcomes):\n\n| not | a row |\n')

    def test_changed_cells_and_cells_that_no_longer_pass(self):
        now = ('| app | 1 plain | 4 cursor | 5 formatted |\n|---|---|---|---|\n'
               '| xterm | FLAKY 1/2 | PASS 1/1 | PASS 1/1 |\n| gedit | not tested | not tested | not tested |\n'
               '| kate | PASS 1/1 | not tested | not tested |\n')
        changes, regressions = compare.compare(compare.table(self.EARLIER), compare.table(now))
        self.assertEqual(regressions, ['xterm / 1 plain: PASS 3/3 -> FLAKY 1/2'])
        # Fewer rounds is no change; an untested cell is left out; a new row is a change.
        self.assertEqual(changes, ['xterm / 1 plain: PASS 3/3 -> FLAKY 1/2',
                                   'xterm / 4 cursor: FAIL 0/3 -> PASS 1/1',
                                   'kate / 1 plain: not in the earlier result -> PASS 1/1'])

    def test_exit_status_follows_the_regressions(self):
        with tempfile.TemporaryDirectory() as d:
            earlier, now = os.path.join(d, 'a.md'), os.path.join(d, 'b.md')
            with open(earlier, 'w') as f:
                f.write(self.EARLIER)
            with open(now, 'w') as f:
                f.write(self.EARLIER.replace('| gedit | PASS 3/3', '| gedit | FAIL 0/3'))
            self.assertEqual(compare.main(['compare.py', earlier, earlier]), 0)
            self.assertEqual(compare.main(['compare.py', earlier, now]), 1)


class KeyTraceAnalysis(unittest.TestCase):
    # As `xinput test-xi2 --root` prints them (trimmed): raw events carry no state.
    XI2 = ('EVENT type 13 (RawKeyPress)\n    device: 3 (5)\n    detail: 50\n    valuators:\n\n'
           'EVENT type 2 (KeyPress)\n    device: 5 (5)\n    detail: 50\n    flags: \n\n'
           'EVENT type 13 (RawKeyPress)\n    device: 3 (5)\n    detail: 113\n    valuators:\n\n'
           'EVENT type 14 (RawKeyRelease)\n    device: 3 (5)\n    detail: 50\n    valuators:\n\n')

    def test_raw_events_only_in_server_order(self):
        self.assertEqual(trace_keys.raw_keys(self.XI2, {'50': 'Shift_L', '113': 'Left'}),
                         '+Shift_L +Left -Shift_L')

    def test_left_under_a_typed_shift_is_caught(self):
        # Trials 1 and 22 of the Chromium trace (failed), and 12 (passed: Shift came
        # down between a Left's press and its release).
        failed_1 = '-r +Shift_L +x +Left -Shift_L -x -Left +Left -Left +Shift_L +x -x -Shift_L'
        failed_22 = '+Left -Left +Left -Left +Shift_L +Left +x -Shift_L -x -Left +Shift_L +x -x -Shift_L'
        passed_12 = '+Left -Left +Left +Shift_L -Left +x -Shift_L -x +Left -Left +Shift_L +x -x -Shift_L'
        self.assertEqual(trace_keys.pressed_under_shift(failed_1), ['Left'])
        self.assertEqual(trace_keys.pressed_under_shift(failed_22), ['Left'])
        self.assertEqual(trace_keys.pressed_under_shift(passed_12), [])
        self.assertEqual(trace_keys.pressed_under_shift('+Shift_R +Tab -Tab -Shift_R'), ['Tab'])


class DisplayAndReadBack(unittest.TestCase):
    """A display already in use is never shared; what is typed is read back as typed."""

    def test_busy_display_is_skipped_and_xterm_reads_back(self):
        other = subprocess.Popen(['Xvfb', ':138', '-nolisten', 'tcp'], stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        s = Session(':138', 'selftest')
        try:
            time.sleep(1.0)
            s.start_x()
            self.assertNotEqual(s.display, ':138')
            xvfb = [p for n, p in s.procs.started if n == 'xvfb'][0]
            self.assertEqual(lock_pid(int(s.display[1:])), xvfb.pid)
            term = apps.Xterm()
            self.assertTrue(term.start(s))
            term.prepare(s)
            s.type('one\ttwo <b>')
            self.assertEqual(term.read(s)['text'], 'one\ttwo <b>')
            s.type('next')
            self.assertEqual(term.read(s)['text'], 'next')
            # The several-target owner of the Writer controls serves each target and logs it.
            for name, data in (('a.txt', 'plain words'), ('a.rtf', '{\\rtf1 {\\b B}}')):
                with open(os.path.join(s.dir, name), 'w') as f:
                    f.write(data)
            s.procs.start('clip-owner', ['/usr/bin/python3', os.path.join(HERE, 'clip_owner.py'), '--clear-first',
                                         'UTF8_STRING=' + os.path.join(s.dir, 'a.txt'),
                                         'text/rtf=' + os.path.join(s.dir, 'a.rtf')], s.env)
            self.assertTrue(wait_for(lambda: s.clip_get('text/rtf') == '{\\rtf1 {\\b B}}', 5))
            self.assertEqual(s.clip_get(), 'plain words')
            with open(os.path.join(s.dir, 'clip-owner.log')) as f:
                self.assertIn('request text/rtf', f.read())
        finally:
            s.close()
            other.terminate()
            other.wait()


class HarnessHasTeeth(unittest.TestCase):
    """A cell fails when Quillet does not expand, or does not give the clipboard back."""

    def setUp(self):
        self.s = Session(':136', 'selftest-teeth')
        self.addCleanup(self.s.close)
        self.s.start_x()
        self.term = apps.Xterm()
        self.assertTrue(self.term.start(self.s))
        self.rtfd = rtfd_from_rtf(BOLD_RTF, self.s.dir)

    def test_no_expansion_is_a_failure(self):
        rec = run_matrix.run_case(self.s, self.term, '1 plain', lambda m: None)  # no Quillet
        self.assertEqual((rec['passed'], rec['got']['text'], rec['expansions']), (False, 'hi zsig', 0))

    def test_clipboard_left_with_the_snippet_is_seen(self):
        self.assertTrue(self.s.start_quillet(0, self.rtfd, 'norestore', prefs={'isRestoreClipboard': False}))
        rec = run_matrix.run_case(self.s, self.term, '1 plain', lambda m: None)
        self.assertTrue(rec['passed'])
        self.assertNotEqual(rec['clipboard_1s'], USERCLIP)
        self.assertEqual(summarize.cells([dict(rec, round=1)])[('xterm', '6 clipboard')], (0, 1))


class AppReadBack(unittest.TestCase):
    """Without Quillet: each reader gives back exactly what a person typed, and
    prepare() leaves an empty field (a stale field would fake a pass or a fail)."""

    def session(self, tag):
        s = Session(':136', 'selftest-' + tag)
        self.addCleanup(s.close)
        s.start_x()
        return s

    def test_editor_select_copy_and_clear(self):
        s = self.session('featherpad')
        app = apps.FeatherPad()
        self.assertTrue(app.start(s))
        app.prepare(s)
        s.type('a\tb')
        s.key('Return')
        s.type('<c>')
        self.assertEqual(app.read(s)['text'], 'a\tb\n<c>')
        app.prepare(s)
        s.type('z')
        self.assertEqual(app.read(s)['text'], 'z')

    def test_second_run_is_not_disturbed_by_the_first_runs_leftovers(self):
        # mousepad autosaves an unsaved buffer when stopped and reopened it in a
        # second window on the next start, which then took the typing.
        for run in range(2):
            s = Session(':136', 'selftest-mousepad')
            try:
                s.start_x()
                app = apps.Mousepad()
                self.assertTrue(app.start(s))
                app.prepare(s)
                s.type('run %d' % run)
                self.assertEqual(app.read(s)['text'], 'run %d' % run)
            finally:
                s.close()

    def test_page_reports_fields_and_focus(self):
        s = self.session('chromium')
        app = apps.Chromium('ta')
        self.assertTrue(app.start(s))
        self.assertTrue(app.prepare(s))
        s.type('left')
        s.key('Tab')
        s.type('right')
        got = app.read(s)
        self.assertEqual((got['text'], got['page']['cet'], got['page']['active']), ('left', 'right', 'ce'))
        ce = apps.Chromium('ce')
        ce.wid = app.wid
        self.assertTrue(ce.prepare(s))  # F3 empties both fields
        self.assertEqual((app.state(s)['ta'], ce.read(s)['text']), ('', ''))

    def test_writer_profile_without_autocorrect_keeps_lower_case(self):
        s = self.session('writer')
        app = apps.Writer(autocorrect=False)
        self.assertTrue(app.start(s))
        app.prepare(s)
        s.type('hi there. teh end ')
        self.assertEqual(app.read(s)['text'].rstrip('\n'), 'hi there. teh end ')


if __name__ == '__main__':
    unittest.main()
