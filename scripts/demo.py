"""Flashes examples/firmware.mot with the stand-in loader examples/write.mot
through the real tarvelin.exe, answering its windows as a user would, and
prints the outcome and the virtual board's verdict. Screenshots go to
build/demo/."""
import os
import pathlib
import shutil
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / 'tests' / 'gui'))
import harness  # noqa: E402
from board import Board  # noqa: E402

PORT = 3
OUT = ROOT / 'build' / 'demo'


def screenshot(name):
    subprocess.run(['import', '-window', 'root', str(OUT / name)], check=False, capture_output=True)


def main():
    windows = pathlib.Path(os.environ['TARVELIN_WINDOWS_BUILD'])
    OUT.mkdir(parents=True, exist_ok=True)
    shutil.copy(windows / 'tarvelin.exe', OUT / 'tarvelin.exe')
    shutil.copy(ROOT / 'examples' / 'write.mot', OUT / 'write.mot')
    shots = {'progress': False}

    def on_event(event):
        print('  ' + repr(event), flush=True)
        if event.kind == 'progress' and int(event.fields[0]) >= 50 and not shots['progress']:
            shots['progress'] = True
            screenshot('progress.png')

    with Board(str(ROOT / 'build' / 'native' / 'tarvelin-board'), PORT, ['--commit-delay', '40']) as board:
        print('tarvelin.exe -com %d, firmware examples/firmware.mot' % PORT)
        events = harness.drive(windows / 'tests' / 'tarvelin_driver.exe', [OUT / 'tarvelin.exe', '-com', str(PORT)],
                               file_to_choose=ROOT / 'examples' / 'firmware.mot', seconds=120, on_event=on_event)
        report = board.stop()
    expected = subprocess.run(['srec_cat', str(ROOT / 'examples' / 'firmware.mot'), '-fill', '0xFF', '0',
                               '-maximum-address', str(ROOT / 'examples' / 'firmware.mot'), '-o', '-', '-binary'],
                              check=True, capture_output=True).stdout
    boxes = [e.fields[1] for e in events if e.kind == 'msgbox']
    print('outcome: ' + (boxes[-1].replace('\r\n', ' ') if boxes else 'no message'))
    same = report.flash[:len(expected)] == expected
    print('board: loader %d bytes, %d blocks written, flash %s the firmware, %d protocol violations'
          % (report.loader_length, len(report.blocks), 'equals' if same else 'DIFFERS FROM', len(report.violations)))
    print('screenshots: %s' % OUT)
    return 0 if same and not report.violations else 1


if __name__ == '__main__':
    sys.exit(main())
