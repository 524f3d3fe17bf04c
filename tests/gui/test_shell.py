"""The real tarvelin.exe under Wine, driven through its windows: start-up,
the missing-port box and the open-file dialog."""
import argparse
import sys
import unittest

import harness

OPTIONS = None


class ShellTest(unittest.TestCase):
    def test_without_com_option_only_the_fixed_box_shows(self):
        events = harness.drive(OPTIONS.driver, [OPTIONS.exe, '/x', 'telecom'], seconds=30)
        boxes = harness.of_kind(events, 'msgbox')
        self.assertEqual(len(boxes), 1, events)
        self.assertEqual(boxes[0].fields, ['Tarvelin', 'COMポート番号を選択してください。', 'none'])
        self.assertEqual(harness.of_kind(events, 'openfile'), [])
        self.assertEqual(harness.of_kind(events, 'dialog'), [])
        self.assertEqual(events[-1].kind, 'exit')
        self.assertEqual(events[-1].fields, ['0'])

    def test_open_file_dialog_and_cancel(self):
        events = harness.drive(OPTIONS.driver, [OPTIONS.exe, '-com', '3'], seconds=30)
        opened = harness.of_kind(events, 'openfile')
        self.assertEqual(len(opened), 1, events)
        self.assertEqual(opened[0].fields, ['書き換えるファームウェアのファイル読み込み', 'mot'])
        self.assertEqual(harness.of_kind(events, 'msgbox'), [])
        self.assertEqual(events[-1].kind, 'exit', events)


def main():
    global OPTIONS
    parser = argparse.ArgumentParser()
    parser.add_argument('--exe', required=True)
    parser.add_argument('--driver', required=True)
    OPTIONS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == '__main__':
    main()
