"""Whole updates: the real tarvelin.exe under Wine, driven through its
windows, against the virtual board on a pseudo-terminal linked as its COM
port. One case per outcome a user can meet."""
import argparse
import itertools
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

import harness
from board import Board

OPTIONS = None
EXAMPLES = harness.ROOT / 'examples'
# A port per case, so that cases may run side by side.
_ports = itertools.count(20 + (os.getpid() % 50) * 4)

T = {
    199: '書き換え用バイナリの読み込みに失敗しました',
    200: '一旦CPUボードの電源をOFFにして通信ケーブルを取り外し、\r\nロボット本体のボタンを押しながら再びCPUボードに通信ケーブルを接続してください。\r\nケーブルを接続したらファームウェアのアップデートが終わるまでボタンから手を離さないでください。',
    226: 'ファームウェアのアップデートが完了しました。\r\nCPUボードの電源をOFFにして通信ケーブルを抜き、\r\nリセットしてください',
    229: '書き込み用プログラムの転送に失敗しました。',
    29: 'ファームウェアの書き込みが中断されました。\r\nCPUボードに正しいプログラムが書き込まれていない状態になるため、改めてファームウェアを書き直してください。',
    51: '指定のファイルを展開できませんでした',
}
FAILED = 'ファームウェアの書き換えに失敗しました。\r\n'


def srec_image(path):
    return subprocess.run(['srec_cat', str(path), '-fill', '0xFF', '0', '-maximum-address', str(path), '-o', '-',
                           '-binary'], check=True, capture_output=True).stdout


class UpdateTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.work = pathlib.Path(self.dir.name)
        shutil.copy(OPTIONS.exe, self.work / 'tarvelin.exe')
        shutil.copy(EXAMPLES / 'write.mot', self.work / 'write.mot')
        self.port = next(_ports)

    def tearDown(self):
        self.dir.cleanup()

    def update(self, board_options=(), firmware=EXAMPLES / 'firmware.mot', after=None, seconds=90):
        with Board(OPTIONS.board, self.port, board_options) as board:
            events = harness.drive(OPTIONS.driver, [self.work / 'tarvelin.exe', '-com', str(self.port)],
                                   file_to_choose=firmware, seconds=seconds, abort_at=after)
            report = board.stop()
            self.transcript = board.transcript
        self.assertEqual(events[-1].kind, 'exit', events)
        self.assertEqual(report.violations, [], self.transcript[-2000:])
        return events, report

    def boxes(self, events):
        return [(e.fields[1], e.fields[2]) for e in events if e.kind == 'msgbox']

    def statuses(self, events):
        # A dialog being destroyed reads as an empty status line: not a status.
        seen = [e.fields[1] for e in events if e.kind == 'dialog'] + [e.fields[0] for e in events if e.kind == 'status']
        return [s for s in seen if s]

    def test_whole_update(self):
        events, report = self.update()
        expected = srec_image(EXAMPLES / 'firmware.mot')
        self.assertEqual(report.flash[:len(expected)], expected)
        self.assertEqual(set(report.flash[len(expected):]), {0xFF})
        blocks = list(range(0, len(expected), 128))
        sent = [a for a in blocks if expected[a:a + 128] != b'\xFF' * 128]
        self.assertEqual(report.blocks, sent, 'every non-blank block once, in order; blank ones never')
        self.assertNotIn(0x200, report.blocks)
        self.assertEqual(report.loader_length, 0x800)
        self.assertEqual(self.boxes(events), [(T[200], 'icon'), (T[226], 'none')])
        progress = [int(e.fields[0]) for e in events if e.kind == 'progress']
        # The bar follows the loader's echo check, then the blocks.
        programming = progress[progress.index(min(progress)):]
        self.assertEqual(programming, sorted(programming))
        self.assertEqual(progress[-1], 100)
        self.assertIn('プログラムデータの書き込み中...', self.statuses(events))

    def boot_failure(self, board_options, status):
        events, report = self.update(board_options)
        self.assertEqual(self.boxes(events), [(T[200], 'icon'), (T[229], 'icon')])
        self.assertEqual(self.statuses(events)[-1], status)
        self.assertEqual(report.blocks, [])

    def test_boot_silent_board(self):
        self.boot_failure(['--mode', 'silent'], 'CPUボードからの反応がありません')

    def test_boot_wrong_answer(self):
        self.boot_failure(['--first-answer', '55'], 'CPUボードからの応答が異常です')

    def test_boot_endless_zeros(self):
        self.boot_failure(['--endless-zeros'], 'CPUボードからの応答が異常です')

    def test_boot_echo_mismatch(self):
        self.boot_failure(['--change-echo', '100'], '書き換えプログラムの転送準備失敗')

    def test_boot_echo_missing_byte(self):
        self.boot_failure(['--drop-echo', '2047'], '書き換えプログラムの転送準備失敗')

    def test_boot_no_final_acknowledgement(self):
        self.boot_failure(['--no-final-ack'], '書き換えプログラムの転送準備失敗')

    def block_failure(self, board_options, second_line, committed):
        events, report = self.update(board_options)
        self.assertEqual(self.boxes(events), [(T[200], 'icon'), (FAILED + second_line, 'icon')])
        self.assertEqual(report.blocks, committed)

    def test_block_status_ff_at_step_4(self):
        self.block_failure(['--fault-block', '1', '--fault-step', '4', '--fault-status', 'FF'],
                           '受信エラー Addr:0x000080 step:5 ', [0])

    def test_block_other_status_at_step_4(self):
        self.block_failure(['--fault-block', '0', '--fault-step', '4', '--fault-status', '00'],
                           '受信エラー Addr:0x000000 step:6 ', [])

    def test_block_status_ff_at_step_12(self):
        self.block_failure(['--fault-block', '2', '--fault-step', '12', '--fault-status', 'FF'],
                           '送信エラー Addr:0x000100 step:13 ', [0, 0x80, 0x100])

    def test_block_silence_at_step_12(self):
        self.block_failure(['--fault-block', '0', '--fault-step', '12'], '受信エラー Addr:0x000000 step:12 ', [0])

    def test_block_read_back_mismatch(self):
        expected = srec_image(EXAMPLES / 'firmware.mot')
        self.block_failure(['--fault-block', '1', '--change-readback', '5', '--fault-step', '10'],
                           'ベリファイエラー Addr:0x000085 step:10 (%02x:%02x)' % (expected[0x85], expected[0x85] ^ 0x5A),
                           [0])

    def test_block_hang_up(self):
        events, report = self.update(['--hang-up-block', '1'])
        boxes = self.boxes(events)
        self.assertEqual(boxes[0], (T[200], 'icon'))
        self.assertRegex(boxes[-1][0], r'^ファームウェアの書き換えに失敗しました。\r\n(送信|受信)エラー Addr:0x000080 step:\d+ $')
        self.assertEqual(report.blocks, [0])

    def test_loader_missing(self):
        (self.work / 'write.mot').unlink()
        events, _ = self.update()
        self.assertEqual(self.boxes(events), [(T[199] + '\r\nファイルを開けません', 'icon')])

    def test_loader_malformed(self):
        lines = (EXAMPLES / 'write.mot').read_text().splitlines()
        lines[3] = lines[3][:-2] + ('00' if lines[3][-2:] != '00' else '01')
        (self.work / 'write.mot').write_text('\n'.join(lines) + '\n')
        events, _ = self.update()
        self.assertEqual(self.boxes(events), [(T[199] + '\r\n4 行目: チェックサムが一致しません', 'icon')])

    def test_loader_without_program(self):
        (self.work / 'write.mot').write_text('S1050000AABB95\n')
        events, _ = self.update()
        self.assertEqual(self.boxes(events),
                         [(T[199] + '\r\n書き換えプログラムのデータが0xF780以降にありません', 'icon')])

    def test_firmware_malformed_leaves_the_dialog_open(self):
        bad = self.work / 'bad.mot'
        bad.write_text('S0030000FC\nS1130000000102030405060708090A0B0C0D0E0FZZ\n')
        events, report = self.update(firmware=bad, after='close:2')
        self.assertEqual(self.boxes(events), [(T[200], 'icon'),
                                              (T[51] + '\r\n2 行目: 16進数でない文字があります', 'icon')])
        self.assertIn('書き換えプログラムの転送準備完了', self.statuses(events))
        self.assertTrue(report.loader_received)
        self.assertEqual(report.blocks, [])

    def test_abort_between_blocks(self):
        self.abort_between_blocks(20, 'abort')

    def test_abort_by_the_close_box_while_programming(self):
        self.abort_between_blocks('closebox@20', 'closebox')

    def abort_between_blocks(self, after, action):
        events, report = self.update(['--commit-delay', '150'], after=after)
        self.assertTrue(any(e.kind == action for e in events), events)
        self.assertEqual(self.boxes(events), [(T[200], 'icon'), (T[29], 'icon')])
        self.assertGreater(len(report.blocks), 0)
        self.assertLess(len(report.blocks), 20)
        self.assertNotIn('block data cut short', self.transcript)


def main():
    global OPTIONS
    parser = argparse.ArgumentParser()
    parser.add_argument('--exe', required=True)
    parser.add_argument('--driver', required=True)
    parser.add_argument('--board', required=True)
    OPTIONS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == '__main__':
    main()
