"""Runs Windows programs of this project under Wine, and tarvelin.exe through
the window driver, for the tests written in Python."""
import os
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
WINE_RUN = ROOT / 'scripts' / 'wine-run.sh'


def windows_path(path):
    """A Unix path as the Windows program sees it (Wine's drive Z:)."""
    return 'Z:' + str(pathlib.Path(path).resolve()).replace('/', '\\')


def wine_environment(extra=None):
    env = dict(os.environ)
    if not env.get('DISPLAY'):
        sys.exit('these tests need an X display: run them through scripts/test.sh')
    env.update(extra or {})
    return env


def wine_prefix():
    """The prefix directory the scripts use (for COM port links)."""
    out = subprocess.run(['bash', '-c', '. "$0"; echo "$WINEPREFIX"', str(ROOT / 'scripts' / 'wine-env.sh')],
                         check=True, capture_output=True, text=True).stdout
    return pathlib.Path(out.strip())


class Event:
    def __init__(self, line):
        fields = line.split('\t')
        self.kind = fields[0]
        self.fields = [f.replace('\\r', '\r').replace('\\n', '\n') for f in fields[1:]]

    def __repr__(self):
        return '%s%r' % (self.kind, tuple(self.fields))


_desktop_started = False


def start_desktop(driver, env=None):
    """Starts Wine's desktop process with its output nowhere (see the driver)."""
    global _desktop_started
    if not _desktop_started:
        subprocess.run([str(WINE_RUN), str(driver), '--start-desktop'], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=wine_environment(env), timeout=120)
        _desktop_started = True


def drive(driver, program_and_args, file_to_choose='-', seconds=60, abort_at=None, on_event=None, env=None):
    """Starts the program under the driver and returns the events it saw.
    file_to_choose is a Unix path for the open-file dialog, or '-' to cancel."""
    start_desktop(driver, env)
    choice = file_to_choose if file_to_choose == '-' else windows_path(file_to_choose)
    command = [str(WINE_RUN), str(driver), str(seconds), choice]
    if abort_at is not None:
        command.append(str(abort_at))
    command += ['--'] + [str(a) for a in program_and_args]
    events = []
    with subprocess.Popen(command, stdout=subprocess.PIPE, env=wine_environment(env)) as process:
        for raw in process.stdout:
            event = Event(raw.decode('utf-8').rstrip('\n'))
            events.append(event)
            if on_event:
                on_event(event)
        process.wait(timeout=seconds + 30)
    return events


def of_kind(events, kind):
    return [e for e in events if e.kind == kind]
