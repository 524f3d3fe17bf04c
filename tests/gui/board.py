"""The virtual board as a process, linked into the Wine prefix as a COM port,
or wherever a native program is to find it."""
import pathlib
import signal
import subprocess
import tempfile

import harness


class Report:
    def __init__(self, text, flash):
        self.loader_received = False
        self.loader_length = 0
        self.blocks = []
        self.violations = []
        self.flash = flash
        for line in text.splitlines():
            key, _, rest = line.partition(' ')
            if key == 'loader_received':
                self.loader_received = rest == '1'
            elif key == 'loader_length':
                self.loader_length = int(rest)
            elif key == 'blocks':
                self.blocks = [int(a, 16) for a in rest.split()]
            elif key == 'violation':
                self.violations.append(rest)


class Board:
    """with Board(binary, port, options) as board: ... board.report after the block.
    With link, the terminal is linked there instead of to COM port number port."""

    def __init__(self, binary, port=None, options=(), link=None):
        self.binary = binary
        self.port = port
        self.options = list(options)
        self.link = link
        self.report = None

    def __enter__(self):
        self.dir = tempfile.TemporaryDirectory()
        work = pathlib.Path(self.dir.name)
        self.flash_path = work / 'flash.bin'
        self.report_path = work / 'report.txt'
        self.transcript_path = work / 'transcript.txt'
        if self.link is None:
            self.link = harness.wine_prefix() / 'dosdevices' / ('com%d' % self.port)
        link = self.link
        link.parent.mkdir(parents=True, exist_ok=True)
        self.process = subprocess.Popen(
            [self.binary, '--link', str(link), '--flash-out', str(self.flash_path), '--report', str(self.report_path),
             '--transcript', str(self.transcript_path)] + self.options,
            stdout=subprocess.PIPE, text=True)
        ready = self.process.stdout.readline()
        if not ready.startswith('ready '):
            raise RuntimeError('virtual board did not start: %r' % ready)
        return self

    def stop(self):
        if self.report is None:
            self.process.send_signal(signal.SIGTERM)
            self.process.wait(timeout=20)
            self.process.stdout.close()
            self.transcript = self.transcript_path.read_text()
            self.report = Report(self.report_path.read_text(), self.flash_path.read_bytes())
        return self.report

    def __exit__(self, *exc):
        try:
            if self.process.poll() is None:
                self.stop()
        finally:
            self.dir.cleanup()
