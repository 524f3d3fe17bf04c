"""The Windows console build of tarvelin-cli under Wine: the same checks and
one whole update through a COM port linked to the virtual board."""
import itertools
import os
import subprocess
import unittest

from cli_common import (CLI, EXAMPLES, EXIT, FIRMWARE, Board, InstalledProgram, T, blocks_to_send, parse_options,
                        srec_image)

import harness  # noqa: E402  (found through cli_common's path)

OPTIONS = None
_ports = itertools.count(120 + (os.getpid() % 50) * 2)


class WineCliTest(InstalledProgram, unittest.TestCase):
    def setUp(self):
        self.exe = self.install(OPTIONS.exe, 'tarvelin-cli.exe')

    def tearDown(self):
        self.uninstall()

    def run_exe(self, args):
        return subprocess.run([str(harness.WINE_RUN), str(self.exe)] + args, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=180)

    def test_check_agrees_with_the_native_program(self):
        for firmware in [FIRMWARE, EXAMPLES / 'write.mot']:
            with self.subTest(firmware.name):
                windows = self.run_exe(['--check', harness.windows_path(firmware)])
                native = subprocess.run([OPTIONS.native_cli, '--check', str(firmware)], capture_output=True)
                self.assertEqual(windows.returncode, 0, windows.stderr)
                self.assertEqual(windows.stdout, native.stdout)
        bad = self.work / 'bad.mot'
        bad.write_text('S1130000000102030405060708090A0B0C0D0E0F01\n')
        refused = self.run_exe(['--lang', 'en', '--check', harness.windows_path(bad)])
        self.assertEqual(refused.returncode, EXIT['file'])
        self.assertIn('The chosen file could not be loaded\nLine 1: the checksum does not match',
                      refused.stderr.decode())

    def test_whole_update(self):
        port = next(_ports)
        with Board(OPTIONS.board, port) as board:
            result = self.run_exe(['--port', 'COM%d' % port, '--yes', harness.windows_path(FIRMWARE)])
            report = board.stop()
        out = result.stdout.decode()
        self.assertEqual(result.returncode, EXIT['done'], result.stderr.decode()[-2000:])
        self.assertEqual(report.violations, [])
        expected = srec_image(FIRMWARE)
        self.assertEqual(report.flash[:len(expected)], expected)
        self.assertEqual(report.blocks, blocks_to_send(expected))
        self.assertIn(T[226], out)
        self.assertIn('COM%d: 16/16 ブロック' % port, out)
        self.assertTrue(out.endswith('COM%d: %s\n' % (port, CLI['done'])), out[-300:])

    def test_port_not_openable(self):
        port = next(_ports)
        link = harness.wine_prefix() / 'dosdevices' / ('com%d' % port)
        if link.is_symlink():
            link.unlink()
        result = self.run_exe(['--port', 'com%d' % port, '--yes', harness.windows_path(FIRMWARE)])
        self.assertEqual(result.returncode, EXIT['port'])
        self.assertIn(T[40], result.stderr.decode())


def main():
    global OPTIONS
    OPTIONS, argv = parse_options('--exe', '--native-cli', '--board')
    unittest.main(argv=argv, verbosity=2)


if __name__ == '__main__':
    main()
