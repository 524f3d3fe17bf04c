"""tarvelin-cli on a real terminal: tmux runs it and shows what a user sees
on the screen, after every redraw."""
import os
import re
import shlex
import subprocess
import time
import unicodedata
import unittest

from cli_common import CLI, FIRMWARE, Board, InstalledProgram, T, parse_options, write_firmware

OPTIONS = None
EXIT_MARK = re.compile(r'EXIT=(\d+)')
# Seconds to wait for the screen to show something; generous for loaded machines.
SCREEN_WAIT = 90


def columns(text):
    return sum(2 if unicodedata.east_asian_width(c) in 'WF' else 1 for c in text)


class Terminal:
    """A tmux session of its own, columns wide, running command under bash."""

    def __init__(self, command, columns, rows=40):
        self.socket = 'tarvelin-test-%d-%d' % (os.getpid(), id(self))
        script = '%s; echo EXIT=$?; sleep 600' % ' '.join(shlex.quote(str(c)) for c in command)
        self.tmux('new-session', '-d', '-s', 'main', '-x', str(columns), '-y', str(rows), 'bash', '-c', script)

    def tmux(self, *args):
        return subprocess.run(['tmux', '-L', self.socket, '-f', '/dev/null'] + list(args), check=True,
                              capture_output=True, text=True).stdout

    def screen(self):
        return self.tmux('capture-pane', '-p', '-t', 'main')

    def wait_for(self, pattern):
        deadline = time.monotonic() + SCREEN_WAIT
        while time.monotonic() < deadline:
            screen = self.screen()
            found = re.search(pattern, screen)
            if found:
                return screen, found
            time.sleep(0.05)
        raise AssertionError('never on the screen: %r\n%s' % (pattern, self.screen()))

    def keys(self, *keys):
        self.tmux('send-keys', '-t', 'main', *keys)

    def close(self):
        subprocess.run(['tmux', '-L', self.socket, 'kill-server'], capture_output=True)


class TerminalTest(InstalledProgram, unittest.TestCase):
    def setUp(self):
        self.cli = self.install(OPTIONS.cli, 'tarvelin-cli')
        self.terminal = None

    def tearDown(self):
        if self.terminal is not None:
            self.terminal.close()
        self.uninstall()

    def start(self, args, columns):
        os.chdir(self.work)  # short labels: the ports are named relative to here
        self.terminal = Terminal([self.cli] + list(args), columns)

    def bar_lines(self, screen, label):
        return [line for line in screen.splitlines() if line.startswith(label + '  [')]

    def test_a_line_per_board_redrawn_in_place(self):
        with Board(OPTIONS.board, options=['--commit-delay', '40'], link=self.work / 'desk1'), \
                Board(OPTIONS.board, options=['--commit-delay', '40'], link=self.work / 'desk2'):
            self.start(['--port', 'desk1', '--port', 'desk2', '--yes', FIRMWARE], columns=120)
            # While it runs: the bar, blocks done of blocks to send, the rate and the time left.
            running = r'desk1  \[#*\.+\]  ([1-9]|1[0-5])/16 ブロック  [0-9.]+ (B|KB)/秒  残り \d+:\d\d'
            screen, _ = self.terminal.wait_for(running)
            self.assertEqual(len(self.bar_lines(screen, 'desk1')), 1, screen)
            self.assertEqual(len(self.bar_lines(screen, 'desk2')), 1, screen)
            screen, exit_mark = self.terminal.wait_for(EXIT_MARK)
        self.assertEqual(exit_mark.group(1), '0', screen)
        for label in ('desk1', 'desk2'):
            self.assertEqual(self.bar_lines(screen, label),
                             ['%s  [%s]  16/16 ブロック  %s' % (label, '#' * 24, CLI['done'])], screen)
            self.assertIn('%s: %s' % (label, T[226].splitlines()[0]), screen)
            self.assertIn('\n%s: %s\n' % (label, CLI['done']), screen)
        # Every earlier state of the bars was drawn over, not left behind.
        self.assertEqual(len(re.findall(r'/16 ブロック', screen)), 2, screen)

    def test_narrow_terminal_cuts_the_line(self):
        firmware = write_firmware(self.work / 'dense.mot', [(0, bytes(range(256)) * 16)])
        self.start(['--simulate', firmware], columns=44)
        screen, exit_mark = self.terminal.wait_for(EXIT_MARK)
        self.assertEqual(exit_mark.group(1), '0', screen)
        bars = [line for line in screen.splitlines() if '  [' in line]
        self.assertEqual(len(bars), 1, screen)
        label = bars[0].split('  [')[0]
        whole = '%s  [%s]  32/32 ブロック  %s' % (label, '#' * 24, CLI['done'])
        # Cut one column short of the width, so that no line wraps.
        self.assertTrue(whole.startswith(bars[0]) and len(bars[0]) < len(whole), bars[0])
        self.assertEqual(columns(bars[0]), 43, bars[0])
        self.assertIn(CLI['matches'], screen.replace('\n', ''))

    def test_ctrl_c_from_the_keyboard(self):
        firmware = write_firmware(self.work / 'dense.mot', [(0, bytes(range(256)) * 256)])
        self.start(['--simulate', firmware], columns=120)
        self.terminal.wait_for(r'\]  ([5-9]|\d\d+)/512 ブロック')
        self.terminal.keys('C-c')
        screen, exit_mark = self.terminal.wait_for(EXIT_MARK)
        self.assertEqual(exit_mark.group(1), '6', screen)
        self.assertIn(T[29].splitlines()[0], screen)
        bars = [line for line in screen.splitlines() if '/512 ブロック' in line]
        self.assertEqual(len(bars), 1, screen)
        self.assertTrue(bars[0].endswith(CLI['aborted']), bars[0])


def main():
    global OPTIONS
    OPTIONS, argv = parse_options('--cli', '--board')
    unittest.main(argv=argv, verbosity=2)


if __name__ == '__main__':
    main()
