"""Runs a Windows test program while the virtual board plays a COM port, and
checks the line speeds the board saw. The port's number reaches the program
as TARVELIN_TEST_COM."""
import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'gui'))
from board import Board  # noqa: E402

SPEEDS = {'echo': ['speed 9600', 'speed 115200'], 'silent': []}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--board', required=True)
    parser.add_argument('--mode', required=True, choices=sorted(SPEEDS))
    parser.add_argument('command', nargs=argparse.REMAINDER)
    options = parser.parse_args()
    command = options.command[1:] if options.command[:1] == ['--'] else options.command
    port = 60 + (os.getpid() % 30)
    with Board(options.board, port, ['--mode', options.mode]) as board:
        result = subprocess.run(command, env=dict(os.environ, TARVELIN_TEST_COM=str(port)))
        board.stop()
        transcript = board.transcript
    positions = [transcript.find(s) for s in SPEEDS[options.mode]]
    if any(p < 0 for p in positions) or positions != sorted(positions):
        print('the board did not see the speeds %s in that order:\n%s' % (SPEEDS[options.mode], transcript[:2000]))
        return 1
    return result.returncode


if __name__ == '__main__':
    sys.exit(main())
