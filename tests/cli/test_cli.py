"""tarvelin-cli end to end: the real program against the virtual board on a
pseudo-terminal, its output read as a script or a log would read it."""
import os
import re
import signal
import subprocess
import unittest

from cli_common import (CLI, ENGLISH_PORT_UNAVAILABLE, EXIT, FAILED, FIRMWARE, Board, InstalledProgram, T,
                        blocks_to_send, parse_options, srec_image, write_firmware)

OPTIONS = None


class CliTest(InstalledProgram, unittest.TestCase):
    def setUp(self):
        self.cli = self.install(OPTIONS.cli, 'tarvelin-cli')

    def tearDown(self):
        self.uninstall()

    def run_cli(self, args, stdin=b'', timeout=120):
        return subprocess.run([str(self.cli)] + [str(a) for a in args], input=stdin, capture_output=True,
                              timeout=timeout)

    def update(self, board_options=(), args=('--yes',), firmware=FIRMWARE, stdin=b''):
        """One board on a pseudo-terminal: (result, report, stdout, stderr)."""
        link = self.work / 'board0'
        with Board(OPTIONS.board, options=board_options, link=link) as board:
            result = self.run_cli(['--port', link] + list(args) + [firmware], stdin=stdin)
            report = board.stop()
            self.transcript = board.transcript
        self.assertEqual(report.violations, [], self.transcript[-2000:])
        return result, report, result.stdout.decode(), result.stderr.decode()

    def test_whole_update(self):
        result, report, out, err = self.update()
        self.assertEqual(result.returncode, EXIT['done'], err)
        expected = srec_image(FIRMWARE)
        self.assertEqual(report.flash[:len(expected)], expected)
        self.assertEqual(set(report.flash[len(expected):]), {0xFF})
        sent = blocks_to_send(expected)
        self.assertEqual(report.blocks, sent)
        self.assertEqual(err, '')
        # Plain lines: the instruction, the statuses, the blocks, completion, the result.
        label = str(self.work / 'board0')
        self.assertIn(T[200], out)
        self.assertIn('%s: %s\n' % (label, T[228]), out)
        self.assertIn('%s: %d/%d ブロック' % (label, len(sent), len(sent)), out)
        self.assertIn(T[226] + '\n', out)
        self.assertTrue(out.endswith('%s: %s\n' % (label, CLI['done'])), out[-300:])
        self.assertNotIn('\x1b', out, 'no terminal sequences in a log')

    def test_enter_starts_the_update(self):
        result, report, out, err = self.update(args=(), stdin=b'\n')
        self.assertEqual(result.returncode, EXIT['done'], err)
        self.assertLess(out.index(T[200]), out.index(CLI['press_enter']))
        self.assertEqual(len(report.blocks), len(blocks_to_send(srec_image(FIRMWARE))))

    def test_no_enter_no_update(self):
        result, report, out, err = self.update(args=(), stdin=b'')
        self.assertEqual(result.returncode, EXIT['aborted'])
        self.assertIn(CLI['not_confirmed'], err)
        self.assertFalse(report.loader_received)
        self.assertNotIn(' H>B ', self.transcript, 'not a byte sent to the board')

    def test_failures(self):
        image = srec_image(FIRMWARE)
        bad = self.work / 'bad.mot'
        bad.write_text('S00600004844521B\nS1130000000102030405060708090A0B0C0D0E0F00\n')
        cases = [
            # (name, board options, extra args, firmware, exit, stderr must hold)
            ('firmware with a bad checksum', [], [], bad, 'file', [T[51] + '\n2 行目: チェックサムが一致しません']),
            ('boot mode answers wrongly', ['--first-answer', '55'], [], FIRMWARE, 'boot', [T[229]]),
            ('loader echo cut short', ['--drop-echo', '7'], [], FIRMWARE, 'boot', [T[229]]),
            ('status FF at step 4', ['--fault-block', '1', '--fault-step', '4', '--fault-status', 'FF'], [], FIRMWARE,
             'program', [FAILED + '受信エラー Addr:0x000080 step:5']),
            ('commit refused', ['--fault-block', '2', '--fault-step', '12', '--fault-status', 'FF'], [], FIRMWARE,
             'program', [FAILED + '送信エラー Addr:0x000100 step:13']),
            ('read-back differs', ['--fault-block', '1', '--change-readback', '5', '--fault-step', '10'], [], FIRMWARE,
             'program', [FAILED + 'ベリファイエラー Addr:0x000085 step:10 (%02x:%02x)' % (image[0x85], image[0x85] ^ 0x5A)]),
        ]
        for name, board_options, args, firmware, kind, messages in cases:
            with self.subTest(name):
                result, report, out, err = self.update(board_options, ['--yes'] + args, firmware)
                self.assertEqual(result.returncode, EXIT[kind], err)
                for message in messages:
                    self.assertIn(message, err)
                if kind == 'file':
                    self.assertFalse(report.loader_received, 'the file is checked before the board is touched')
                else:
                    self.assertTrue(out.endswith(': %s\n' % CLI[kind]), out[-300:])

    def test_loader_missing(self):
        (self.work / 'write.mot').unlink()
        result = self.run_cli(['--port', self.work / 'none', '--yes', FIRMWARE])
        self.assertEqual(result.returncode, EXIT['file'])
        self.assertIn(T[199] + '\nファイルを開けません', result.stderr.decode())

    def test_port_not_openable(self):
        result = self.run_cli(['--port', self.work / 'no-such-port', '--yes', FIRMWARE])
        self.assertEqual(result.returncode, EXIT['port'])
        self.assertIn(T[40], result.stderr.decode())
        self.assertIn(': %s\n' % CLI['port'], result.stdout.decode())

    def test_english(self):
        result = self.run_cli(['--lang', 'en', '--port', self.work / 'no-such-port', '--yes', FIRMWARE])
        self.assertEqual(result.returncode, EXIT['port'])
        self.assertIn(ENGLISH_PORT_UNAVAILABLE, result.stderr.decode())
        self.assertIn(': port not openable\n', result.stdout.decode())

    def test_usage_errors(self):
        for args in [[], ['--bogus', FIRMWARE], ['--port'], ['--port', 'a', 'x.mot', 'y.mot'], [FIRMWARE],
                     ['--simulate', '--port', 'a', FIRMWARE], ['--lang', 'fr', '--check', FIRMWARE]]:
            with self.subTest(args=args):
                result = self.run_cli(args)
                self.assertEqual(result.returncode, EXIT['usage'])
                self.assertIn('tarvelin-cli --list-ports', result.stderr.decode(), 'the usage follows the fault')
        help_text = self.run_cli(['--help'])
        self.assertEqual(help_text.returncode, 0)
        self.assertIn('終了コード', help_text.stdout.decode())

    def test_interrupt_between_blocks(self):
        # Ctrl-C, a request to stop, a closed terminal: each ends between blocks.
        for stop in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            with self.subTest(stop.name):
                self.interrupt_between_blocks(stop)

    def interrupt_between_blocks(self, stop):
        link = self.work / 'board0'
        with Board(OPTIONS.board, options=['--commit-delay', '150'], link=link) as board:
            process = subprocess.Popen([str(self.cli), '--port', str(link), '--yes', str(FIRMWARE)],
                                       stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            # Interrupted once some blocks are in.
            for line in process.stdout:
                done = re.search(rb': (\d+)/16 ', line)
                if done and int(done.group(1)) >= 3:
                    process.send_signal(stop)
                    break
            out, err = process.communicate(timeout=60)
            report = board.stop()
        self.assertEqual(process.returncode, EXIT['aborted'], err.decode())
        err = err.decode()
        self.assertIn(CLI['stopping'], err)
        self.assertIn(T[29], err)
        self.assertGreaterEqual(len(report.blocks), 3)
        self.assertLess(len(report.blocks), 16)
        self.assertEqual(report.violations, [])
        self.assertNotIn('block data cut short', board.transcript, 'the block being written was finished')
        self.assertTrue(out.decode().endswith(': %s\n' % CLI['aborted']))

    def test_a_reader_going_away_does_not_stop_the_update(self):
        link = self.work / 'board0'
        with Board(OPTIONS.board, options=['--commit-delay', '20'], link=link) as board:
            process = subprocess.Popen([str(self.cli), '--port', str(link), '--yes', str(FIRMWARE)],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            process.stdout.readline()
            process.stdout.close()  # as `| head -1` does
            self.assertEqual(process.wait(timeout=60), EXIT['done'])
            report = board.stop()
        self.assertEqual(report.blocks, blocks_to_send(srec_image(FIRMWARE)))

    def test_interrupt_in_the_boot_phase_ends_at_once(self):
        link = self.work / 'board0'
        with Board(OPTIONS.board, options=['--mode', 'silent'], link=link) as board:
            process = subprocess.Popen([str(self.cli), '--port', str(link), '--yes', str(FIRMWARE)],
                                       stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            for line in process.stdout:
                if T[187].encode() in line:
                    process.send_signal(signal.SIGINT)
                    break
            out, err = process.communicate(timeout=60)
            board.stop()
        # Had it waited out the silent board, the handshake would have failed.
        self.assertEqual(process.returncode, EXIT['aborted'], err.decode())
        self.assertNotIn(T[229], err.decode())

    def test_two_boards_at_once(self):
        links = [self.work / 'desk1', self.work / 'desk2']
        faulty = ['--fault-block', '2', '--fault-step', '12', '--fault-status', 'FF']
        with Board(OPTIONS.board, link=links[0]) as good, Board(OPTIONS.board, options=faulty, link=links[1]) as bad:
            result = self.run_cli(['--port', links[0], '--port', links[1], '--yes', FIRMWARE])
            good_report, bad_report = good.stop(), bad.stop()
        out, err = result.stdout.decode(), result.stderr.decode()
        self.assertEqual(result.returncode, EXIT['program'], 'the worst of the two')
        expected = srec_image(FIRMWARE)
        self.assertEqual(good_report.flash[:len(expected)], expected)
        self.assertEqual(bad_report.blocks, [0, 0x80, 0x100])
        self.assertIn('%s: %s\n' % (links[0], CLI['done']), out)
        self.assertIn('%s: %s\n' % (links[1], CLI['program']), out)
        # Each board's lines carry its name.
        self.assertIn('%s: %s%s: 送信エラー Addr:0x000100 step:13' % (links[1], FAILED, links[1]), err)
        self.assertNotIn(str(links[0]), err)

    def test_check(self):
        firmware = write_firmware(self.work / 'gaps.mot', [(0x0, b'\x01' * 300), (0x400, b'\x02' * 10),
                                                          (0x1FF80, bytes(range(256)))])
        image = srec_image(firmware)
        result = self.run_cli(['--check', firmware])
        self.assertEqual(result.returncode, 0, result.stderr)
        sent = blocks_to_send(image)
        ranges, start = [], None
        for i, address in enumerate(sent):
            if start is None:
                start = address
            if i + 1 == len(sent) or sent[i + 1] != address + 128:
                ranges.append('  0x%06x - 0x%06x  (%d ブロック)' % (start, address + 127, (address + 128 - start) // 128))
                start = None
        self.assertEqual(result.stdout.decode().splitlines(), [
            'イメージの大きさ: %d バイト (0x000000 - 0x%06x)' % (len(image), len(image) - 1),
            '書き込む範囲:'] + ranges + [
            '送信するブロック: %d / %d (1ブロック 128 バイト)' % (len(sent), len(image) // 128 + 1)])
        self.assertEqual(len(ranges), 3)

    def test_check_refuses_a_bad_file(self):
        bad = self.work / 'bad.mot'
        bad.write_text('S1130000000102030405060708090A0B0C0D0EZZ00\n')
        result = self.run_cli(['--check', bad])
        self.assertEqual(result.returncode, EXIT['file'])
        self.assertIn(T[51] + '\n1 行目: 16進数でない文字があります', result.stderr.decode())

    def test_list_ports(self):
        sysfs = self.work / 'class-tty'
        for name, device, uart_type in [('ttyUSB0', True, None), ('ttyACM1', True, None), ('ttyS0', True, '4'),
                                        ('ttyS1', True, '0'), ('tty1', False, None), ('ptmx', False, None)]:
            (sysfs / name).mkdir(parents=True)
            if device:
                (sysfs / name / 'device').mkdir()
            if uart_type is not None:
                (sysfs / name / 'type').write_text(uart_type + '\n')
        result = subprocess.run([str(self.cli), '--list-ports'], capture_output=True,
                                env=dict(os.environ, TARVELIN_SYS_CLASS_TTY=str(sysfs)))
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stdout.decode().splitlines(), ['/dev/ttyACM1', '/dev/ttyS0', '/dev/ttyUSB0'])
        empty = self.work / 'empty'
        empty.mkdir()
        none = subprocess.run([str(self.cli), '--list-ports'], capture_output=True,
                              env=dict(os.environ, TARVELIN_SYS_CLASS_TTY=str(empty)))
        self.assertEqual(none.returncode, EXIT['other'])
        self.assertIn('シリアルポートが見つかりません', none.stderr.decode())

    def test_simulate(self):
        result = self.run_cli(['--simulate', FIRMWARE])
        out = result.stdout.decode()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(T[226], out)
        self.assertIn(CLI['matches'], out)


def main():
    global OPTIONS
    OPTIONS, argv = parse_options('--cli', '--board')
    unittest.main(argv=argv, verbosity=2)


if __name__ == '__main__':
    main()
