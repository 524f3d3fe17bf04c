"""What the console program's tests share: the texts users must see, the
firmware files and the oracle's image of them."""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / 'tests' / 'gui'))

from board import Board  # noqa: E402  (the virtual board process)

EXAMPLES = ROOT / 'examples'
FIRMWARE = EXAMPLES / 'firmware.mot'


def read_expected_strings():
    """The independent copy of the program's texts, in the console's form:
    lines end in LF alone."""
    texts = {}
    for line in (ROOT / 'tests' / 'data' / 'expected_strings.txt').read_text(encoding='utf-8').splitlines():
        if not line or line.startswith('#'):
            continue
        number, _, text = line.partition('\t')
        texts[int(number)] = text.replace('\\r\\n', '\n').replace('\\n', '\n').replace('\\r', '\n')
    return texts


T = read_expected_strings()
FAILED = 'ファームウェアの書き換えに失敗しました。\n'
# The console program's own texts, as users must see them.
CLI = {
    'press_enter': 'ボードがブートモードになったら Enter キーを押してください。',
    'not_confirmed': 'Enter キーが押されなかったため、書き換えを始めませんでした。',
    'stopping': '中断します: 書き込み中のブロックが終わるのを待っています',
    'done': '完了',
    'file': 'ファイルを読み込めません',
    'port': 'ポートを開けません',
    'boot': 'ブートモードとの通信に失敗しました',
    'program': '書き込みに失敗しました',
    'aborted': '中断しました',
    'matches': '仮想ボードのフラッシュはファームウェアと一致しています',
}
ENGLISH_PORT_UNAVAILABLE = ('The robot is not connected to the PC, or the USB-serial driver is not installed.\n'
                            'The PC may also need a moment to recognise the robot: wait a little and try again.')
EXIT = {'done': 0, 'other': 1, 'usage': 2, 'file': 3, 'port': 4, 'boot': 5, 'aborted': 6, 'program': 7}


def srec_image(path):
    """The flat image srec_cat makes of path: from 0, gaps 0xFF."""
    return subprocess.run(['srec_cat', str(path), '-fill', '0xFF', '0', '-maximum-address', str(path), '-o', '-',
                           '-binary'], check=True, capture_output=True).stdout


def blocks_to_send(image):
    padded = image + b'\xFF' * (128 - len(image) % 128)
    return [a for a in range(0, len(padded), 128) if padded[a:a + 128] != b'\xFF' * 128]


def write_firmware(path, pieces):
    """An S-record file made by srec_cat from (address, bytes) pieces."""
    binaries = []
    for i, (address, data) in enumerate(pieces):
        piece = path.with_suffix('.%d.bin' % i)
        piece.write_bytes(data)
        binaries += [str(piece), '-binary', '-offset', str(address)]
    subprocess.run(['srec_cat'] + binaries + ['-o', str(path), '-motorola'], check=True)
    return path


class InstalledProgram:
    """A temporary folder holding program under name, with the loader beside
    it as installed: self.work, self.program."""

    def install(self, program, name):
        self.dir = tempfile.TemporaryDirectory()
        self.work = pathlib.Path(self.dir.name)
        self.program = self.work / name
        shutil.copy(program, self.program)
        shutil.copy(EXAMPLES / 'write.mot', self.work / 'write.mot')
        return self.program

    def uninstall(self):
        self.dir.cleanup()


def parse_options(*paths):
    """The named path options of a test program (required, made absolute, as
    a test may change directory), and the rest of argv for unittest."""
    parser = argparse.ArgumentParser()
    for name in paths:
        parser.add_argument(name, required=True, type=os.path.abspath)
    options, rest = parser.parse_known_args()
    return options, [sys.argv[0]] + rest
