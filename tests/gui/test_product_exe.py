"""The 32-bit tarvelin.exe as shipped, read from outside: a 32-bit GUI
program that needs no DLL beyond Windows' own, with its resources, every
text as users must see it; and tarvelin-cli.exe, a 32-bit console program
that needs no more."""
import argparse
import struct
import subprocess
import sys
import tempfile
import unittest
import pathlib

OPTIONS = None

# DLLs every Windows has; anything else would have to be shipped beside the .exe.
SYSTEM_DLLS = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'comctl32.dll', 'comdlg32.dll', 'shell32.dll',
               'advapi32.dll', 'msvcrt.dll', 'shlwapi.dll', 'ole32.dll', 'api-ms-win-crt-runtime-l1-1-0.dll'}


def read_expected(path):
    expected = {}
    for line in pathlib.Path(path).read_text(encoding='utf-8').splitlines():
        if not line or line.startswith('#'):
            continue
        number, text = line.split('\t', 1)
        expected[int(number)] = text.replace('\\r', '\r').replace('\\n', '\n')
    return expected


def resources(exe):
    listing = subprocess.run(['wrestool', '-l', exe], check=True, capture_output=True, text=True).stdout
    return listing.splitlines()


def extract(exe, kind, name, language=1041):
    return subprocess.run(['wrestool', '-x', '--raw', '--type=%d' % kind, '--name=%d' % name,
                           '--language=%d' % language, exe], check=True, capture_output=True).stdout


def subsystem_of_32_bit(test, exe):
    """The subsystem of a PE32 i386 program (2 GUI, 3 console)."""
    data = pathlib.Path(exe).read_bytes()
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    test.assertEqual(data[pe:pe + 4], b'PE\0\0')
    machine = struct.unpack_from('<H', data, pe + 4)[0]
    test.assertEqual(machine, 0x14C, 'i386')
    optional = pe + 24
    test.assertEqual(struct.unpack_from('<H', data, optional)[0], 0x10B, 'PE32, not PE32+')
    return struct.unpack_from('<H', data, optional + 68)[0]


def imported_dlls(exe):
    dump = subprocess.run(['i686-w64-mingw32-objdump', '-p', exe], check=True, capture_output=True, text=True).stdout
    return {line.split(':', 1)[1].strip().lower() for line in dump.splitlines() if 'DLL Name:' in line}


class ProductTest(unittest.TestCase):
    def test_is_a_32_bit_gui_program(self):
        self.assertEqual(subsystem_of_32_bit(self, OPTIONS.exe), 2, 'Windows GUI subsystem')

    def test_needs_only_windows_own_dlls(self):
        dlls = imported_dlls(OPTIONS.exe)
        self.assertTrue(dlls, 'import table read')
        self.assertLessEqual(dlls, SYSTEM_DLLS)
        self.assertIn('comctl32.dll', dlls)

    def test_console_program_is_32_bit_and_self_contained(self):
        self.assertEqual(subsystem_of_32_bit(self, OPTIONS.cli_exe), 3, 'Windows console subsystem')
        dlls = imported_dlls(OPTIONS.cli_exe)
        self.assertIn('kernel32.dll', dlls)
        self.assertLessEqual(dlls, SYSTEM_DLLS)

    def test_resources_are_japanese(self):
        listing = resources(OPTIONS.exe)
        for wanted in ['--type=5 --name=114 --language=1041', '--type=14 --name=117 --language=1041',
                       '--type=24 --name=1 --language=1041']:
            self.assertTrue(any(wanted in line for line in listing), (wanted, listing))
        self.assertEqual(sum('--type=3 ' in line for line in listing), 5, 'five icon images')

    def test_string_table_holds_exactly_the_expected_texts(self):
        expected = read_expected(OPTIONS.expected)
        found = {}
        for line in resources(OPTIONS.exe):
            if '--type=6 ' not in line:
                continue
            block = int(line.split('--name=')[1].split()[0])
            self.assertIn('--language=1041', line)
            data = extract(OPTIONS.exe, 6, block)
            offset = 0
            for index in range(16):
                length = struct.unpack_from('<H', data, offset)[0]
                offset += 2
                if length:
                    found[(block - 1) * 16 + index] = data[offset:offset + 2 * length].decode('utf-16-le')
                offset += 2 * length
        self.assertEqual(found, expected)

    def test_manifest_declares_no_common_controls_6(self):
        manifest = extract(OPTIONS.exe, 24, 1).decode('utf-8')
        self.assertIn('<assembly', manifest)
        self.assertNotIn('dependency', manifest)
        self.assertNotIn('Common-Controls', manifest)


def main():
    global OPTIONS
    parser = argparse.ArgumentParser()
    parser.add_argument('--exe', required=True)
    parser.add_argument('--cli-exe', required=True)
    parser.add_argument('--expected', required=True)
    OPTIONS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == '__main__':
    main()
