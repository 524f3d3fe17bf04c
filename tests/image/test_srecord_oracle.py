"""The loader against independent S-record tools: files written by srec_cat
and objcopy, loaded by us, compared byte for byte with srec_cat's own binary
image of the same file (gaps filled with 0xFF from address 0)."""
import argparse
import pathlib
import random
import subprocess
import sys
import tempfile
import unittest

OPTIONS = None

# Data bytes per record: one, typical sizes and the most each type can hold.
MOST_DATA = {2: 252, 3: 249, 4: 248}


def run(*command):
    return subprocess.run(command, check=True, capture_output=True).stdout


class OracleTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.dir = pathlib.Path(self.directory.name)
        self.random = random.Random(1234)

    def tearDown(self):
        self.directory.cleanup()

    def segments_file(self, segments, name):
        """srec_cat input arguments for binary pieces at their addresses."""
        arguments = []
        for index, (address, data) in enumerate(segments):
            piece = self.dir / ('%s-%d.bin' % (name, index))
            piece.write_bytes(data)
            arguments += [str(piece), '-binary', '-offset', hex(address)]
        return arguments

    def ours(self, path):
        return subprocess.run([OPTIONS.loader, str(path)], check=True, capture_output=True).stdout

    def oracle(self, path):
        return run('srec_cat', str(path), '-fill', '0xFF', '0', '-maximum-address', str(path), '-o', '-', '-binary')

    def assert_same_image(self, path):
        expected = self.oracle(path)
        got = self.ours(path)
        self.assertEqual(len(got), len(expected), path.name)
        self.assertTrue(got == expected, '%s: first difference at %s' % (
            path.name, next((i for i, (a, b) in enumerate(zip(got, expected)) if a != b), None)))

    def random_bytes(self, count):
        return bytes(self.random.randrange(256) for _ in range(count))

    def test_srec_cat_every_address_width_and_record_length(self):
        segments = [(0x0000, self.random_bytes(700)), (0x1200, self.random_bytes(33)),
                    (0x8000, self.random_bytes(1))]
        for address_bytes in (2, 3, 4):
            for per_record in (1, 2, 16, 32, 200, MOST_DATA[address_bytes]):
                for line_end in ('lf', 'crlf'):
                    with self.subTest(address_bytes=address_bytes, per_record=per_record, line_end=line_end):
                        path = self.dir / ('s%d-%d-%s.mot' % (address_bytes, per_record, line_end))
                        run('srec_cat', *self.segments_file(segments, path.stem), '-o', str(path), '-motorola',
                            '-address-length=%d' % address_bytes, '-obs=%d' % per_record,
                            '-line-termination=%s' % line_end)
                        self.assert_same_image(path)

    def test_high_addresses_near_the_capacity(self):
        segments = [(0xFFF00, self.random_bytes(256)), (0x40000, self.random_bytes(77))]
        for address_bytes in (3, 4):
            path = self.dir / ('high-%d.mot' % address_bytes)
            run('srec_cat', *self.segments_file(segments, path.stem), '-o', str(path), '-motorola',
                '-address-length=%d' % address_bytes)
            self.assert_same_image(path)

    def test_records_out_of_order(self):
        segments = [(0x100, self.random_bytes(2000)), (0x4000, self.random_bytes(500))]
        path = self.dir / 'ordered.mot'
        run('srec_cat', *self.segments_file(segments, 'ordered'), '-o', str(path), '-motorola', '-obs=24')
        lines = path.read_text().splitlines()
        header, records, trailer = lines[:1], lines[1:-1], lines[-1:]
        self.random.shuffle(records)
        shuffled = self.dir / 'shuffled.mot'
        shuffled.write_text('\n'.join(header + records + trailer) + '\n')
        self.assert_same_image(shuffled)

    def test_objcopy_s_records(self):
        blob = self.dir / 'fw.bin'
        blob.write_bytes(self.random_bytes(5000))
        for options in ([], ['--srec-forceS3'], ['--srec-len=1'], ['--srec-len=64', '--srec-forceS3']):
            for address in (0, 0xF780, 0x20000):
                with self.subTest(options=options, address=hex(address)):
                    path = self.dir / ('objcopy-%s-%x.mot' % (len(options), address))
                    run('objcopy', '-I', 'binary', '-O', 'srec', '--change-addresses', hex(address), *options,
                        str(blob), str(path))
                    self.assert_same_image(path)


def main():
    global OPTIONS
    parser = argparse.ArgumentParser()
    parser.add_argument('--loader', required=True)
    OPTIONS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=1)


if __name__ == '__main__':
    main()
