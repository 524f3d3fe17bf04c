"""A whole update against the wire limit: the real tarvelin.exe under Wine,
the same worker natively through the POSIX port, and the console program
tarvelin-cli, against the virtual board in its wire-rate mode. For each firmware image prints the bytes each
way, the wire limit of that exact exchange, the measured time from the first
wake-up burst to the completion, their ratio, and the program's CPU time.

usage: python3 bench/update_wire.py [--flash-write-ms MS] [--sizes 4,32,256]
                                   [--exe TARVELIN.EXE] [--native NATIVE_UPDATE] [--cli TARVELIN_CLI]
(run through bench/update_wire.sh, which builds and sets up Wine)"""
import argparse
import os
import pathlib
import random
import shutil
import subprocess
import sys
import tempfile
import threading
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / 'tests' / 'gui'))
import harness  # noqa: E402
from board import Board  # noqa: E402

BOOT_BAUD, BOOT_BITS = 9600, 10          # start, 8 data, stop
PROGRAM_BAUD, PROGRAM_BITS = 115200, 11  # start, 8 data, even parity, stop
BLOCK = 128
BURST = 64
# The boot exchange outside the loader, in byte times one after the other:
# burst, 0x00, 0x55, 0xAA, two length bytes and their echoes, the loader's
# last echo (the others overlap the sending) and the final 0xAA.
BOOT_SEQUENTIAL_BYTES = BURST + 1 + 1 + 1 + 4 + 1 + 1
# A block: 0x55, address, data | status | 0x56 | two bytes and the data |
# 0x57 | status, each turn waiting for the one before.
BLOCK_HOST_BYTES = 1 + 3 + BLOCK + 1 + 1
BLOCK_BOARD_BYTES = 1 + 2 + BLOCK + 1


def record(address, data):
    fields = [len(data) + 5] + list(address.to_bytes(4, 'big')) + list(data)
    return 'S3' + ''.join('%02X' % b for b in fields) + '%02X' % (~sum(fields) & 0xFF)


def write_firmware(path, kib, half_blank, rng):
    lines = []
    for block in range(kib * 1024 // BLOCK):
        if half_blank and block % 2:
            continue
        data = bytes(rng.randrange(255) for _ in range(BLOCK))
        base = block * BLOCK
        lines += [record(base + i, data[i:i + 32]) for i in range(0, BLOCK, 32)]
    path.write_text('\n'.join(lines + ['S70500000000FA']) + '\n')


def parse_transcript(text):
    """Start epoch, first host byte's time, byte counts per phase, and the
    time the line stood idle between the phases and after the last byte."""
    epoch = None
    first = None
    counts = {'boot': [0, 0], 'program': [0, 0]}
    phase = 'boot'
    last = None
    gaps = {}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) >= 3 and parts[1] == '---' and parts[2] == 'start-epoch':
            epoch = float(parts[3])
        elif len(parts) == 3 and parts[1] in ('H>B', 'B>H'):
            at = float(parts[0])
            if first is None and parts[1] == 'H>B':
                first = at
            if parts[1] == 'H>B' and parts[2] == '55' and phase == 'boot' and counts['boot'][1] > 100:
                phase = 'program'
                gaps['between phases'] = at - last
                # One burst answered: the host sent it, 0x55, two length bytes, the loader.
                loader_length = counts['boot'][0] - BURST - 3
                gaps['boot over its limit'] = last - first - wire_limit(loader_length, 0, 0)
            counts[phase][0 if parts[1] == 'H>B' else 1] += 1
            last = at
    gaps['last'] = last
    return epoch, first, counts, gaps


def wire_limit(loader_length, blocks, flash_ms):
    boot = (BOOT_SEQUENTIAL_BYTES + loader_length) * BOOT_BITS / BOOT_BAUD
    program = blocks * ((BLOCK_HOST_BYTES + BLOCK_BOARD_BYTES) * PROGRAM_BITS / PROGRAM_BAUD + flash_ms / 1000)
    return boot + program


class CpuSampler(threading.Thread):
    """Follows the CPU time of the process whose command line names `name`."""

    def __init__(self, name):
        super().__init__(daemon=True)
        self.name = name
        self.samples = []  # (wall time, CPU seconds)
        self.done = threading.Event()

    def run(self):
        tick = os.sysconf('SC_CLK_TCK')
        while not self.done.is_set():
            for pid in os.listdir('/proc'):
                if not pid.isdigit():
                    continue
                try:
                    cmdline = pathlib.Path('/proc/%s/cmdline' % pid).read_bytes()
                    if self.name.encode() not in cmdline or b'tarvelin_driver' in cmdline:
                        continue
                    fields = pathlib.Path('/proc/%s/stat' % pid).read_text().rsplit(')', 1)[1].split()
                    self.samples.append((time.time(), (int(fields[11]) + int(fields[12])) / tick))
                except OSError:
                    continue
            time.sleep(0.05)

    def between(self, start, end):
        """CPU seconds spent from start to end (wall times): the program's
        own start-up under Wine is not the update's cost."""
        before = [cpu for at, cpu in self.samples if at <= start]
        until = [cpu for at, cpu in self.samples if at <= end + 0.1]
        return (until[-1] if until else 0.0) - (before[-1] if before else 0.0)


def run_wine(options, work, firmware, port):
    finished = {}

    def on_event(event):
        if event.kind == 'msgbox' and event.fields[1].startswith('ファームウェアのアップデートが完了しました'):
            finished['at'] = time.time()

    sampler = CpuSampler('tarvelin.exe')
    sampler.start()
    with Board(options.board, port, ['--wire-rate', '--flash-write-ms', str(options.flash_write_ms)]) as board:
        harness.drive(options.driver, [work / 'tarvelin.exe', '-com', str(port)], file_to_choose=firmware,
                      seconds=600, on_event=on_event)
        report = board.stop()
        transcript = board.transcript
    sampler.done.set()
    sampler.join()
    if 'at' not in finished:
        raise RuntimeError('no completion message for %s' % firmware.name)
    epoch, first, counts, gaps = parse_transcript(transcript)
    start = epoch + first
    gaps['to message'] = finished['at'] - (epoch + gaps.pop('last'))
    return finished['at'] - start, sampler.between(start, finished['at']), counts, gaps, report


def run_native(options, firmware, port):
    with Board(options.board, port, ['--wire-rate', '--flash-write-ms', str(options.flash_write_ms)]) as board:
        device = os.readlink(board.link)
        out = subprocess.run([options.native, device, str(ROOT / 'examples' / 'write.mot'), str(firmware)],
                             check=True, capture_output=True, text=True).stdout.split()
        report = board.stop()
        transcript = board.transcript
    epoch, first, counts, gaps = parse_transcript(transcript)
    gaps.pop('last')
    # The native program's clock starts at its first byte, within a call.
    return float(out[0]), float(out[1]), counts, gaps, report


def run_cli(options, firmware, port):
    """The console program, its output a pipe (plain lines), as a script runs it."""
    finished = {}
    sampler = CpuSampler('tarvelin-cli')
    sampler.start()
    with Board(options.board, port, ['--wire-rate', '--flash-write-ms', str(options.flash_write_ms)]) as board:
        process = subprocess.Popen([options.cli, '--port', os.readlink(board.link), '--yes', str(firmware)],
                                   stdout=subprocess.PIPE, text=True)
        for line in process.stdout:
            if 'at' not in finished and line.startswith('ファームウェアのアップデートが完了しました'):
                finished['at'] = time.time()
        if process.wait() != 0 or 'at' not in finished:
            raise RuntimeError('the console program failed on %s' % firmware.name)
        report = board.stop()
        transcript = board.transcript
    sampler.done.set()
    sampler.join()
    epoch, first, counts, gaps = parse_transcript(transcript)
    start = epoch + first
    gaps['to message'] = finished['at'] - (epoch + gaps.pop('last'))
    return finished['at'] - start, sampler.between(start, finished['at']), counts, gaps, report


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--board', default=str(ROOT / 'build' / 'native' / 'tarvelin-board'))
    parser.add_argument('--native', default=str(ROOT / 'build' / 'native' / 'bench' / 'native_update'))
    parser.add_argument('--cli', default=str(ROOT / 'build' / 'native' / 'tarvelin-cli'))
    parser.add_argument('--exe', help='another tarvelin.exe to measure (default: the Windows build\'s)')
    parser.add_argument('--flash-write-ms', type=int, default=0)
    parser.add_argument('--sizes', default='4,32,256')
    options = parser.parse_args()
    windows = pathlib.Path(os.environ['TARVELIN_WINDOWS_BUILD'])
    options.driver = windows / 'tests' / 'tarvelin_driver.exe'
    rng = random.Random(6)
    with tempfile.TemporaryDirectory() as directory:
        work = pathlib.Path(directory)
        shutil.copy(options.exe or windows / 'tarvelin.exe', work / 'tarvelin.exe')
        shutil.copy(ROOT / 'examples' / 'write.mot', work / 'write.mot')
        print('wire-rate board, flash write %d ms per block, loader 2048 bytes' % options.flash_write_ms)
        print('%-18s %-6s %9s %9s %9s %9s %7s %8s   %s' % ('image', 'build', 'host>brd', 'brd>host', 'limit s',
                                                          'measured', 'ratio', 'cpu', 'line idle'))
        port = 40
        for kib in [int(k) for k in options.sizes.split(',')]:
            for half_blank in (False, True):
                name = '%d KiB %s' % (kib, 'half blank' if half_blank else 'dense')
                firmware = work / ('fw-%d-%d.mot' % (kib, half_blank))
                write_firmware(firmware, kib, half_blank, rng)
                for build, runner in (('wine', lambda: run_wine(options, work, firmware, port)),
                                      ('native', lambda: run_native(options, firmware, port)),
                                      ('cli', lambda: run_cli(options, firmware, port))):
                    measured, cpu, counts, gaps, report = runner()
                    limit = wire_limit(report.loader_length, len(report.blocks), options.flash_write_ms)
                    host = counts['boot'][0] + counts['program'][0]
                    board = counts['boot'][1] + counts['program'][1]
                    print('%-18s %-6s %9d %9d %9.3f %9.3f %7.3f %7.1f%%   %s' % (
                        name, build, host, board, limit, measured, measured / limit, 100 * cpu / measured,
                        ', '.join('%s %.3f s' % item for item in gaps.items())), flush=True)
                    port += 1


if __name__ == '__main__':
    main()
