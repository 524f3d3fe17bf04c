#!/usr/bin/env python3
"""Writes the example files: a stand-in loader and a sample firmware.

write.mot here is NOT the board's write-control program: it is our own
filler bytes at 0xF780-0xFF7F, enough for the virtual board, which echoes and
accepts any loader. A real board needs the loader that comes with it.
"""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent


def record(kind, address, data):
    width = {'1': 2, '2': 3, '3': 4}[kind]
    fields = [len(data) + width + 1] + list(address.to_bytes(width, 'big')) + list(data)
    checksum = ~sum(fields) & 0xFF
    return 'S' + kind + ''.join('%02X' % b for b in fields) + '%02X' % checksum


def header(text):
    data = text.encode('ascii')
    fields = [len(data) + 3, 0, 0] + list(data)
    return 'S0' + ''.join('%02X' % b for b in fields) + '%02X' % (~sum(fields) & 0xFF)


def write(name, lines):
    (HERE / name).write_text('\r\n'.join(lines) + '\r\n', newline='')


def main():
    loader = bytes((b'TARVELIN STAND-IN LOADER, NOT A REAL WRITE-CONTROL PROGRAM. ' * 40)[:0x800])
    lines = [header('STAND-IN LOADER FOR THE VIRTUAL BOARD')]
    lines += [record('1', 0xF780 + i, loader[i:i + 32]) for i in range(0, len(loader), 32)]
    lines.append('S9030000FC')
    write('write.mot', lines)

    # Firmware with gaps: code at 0, a table at 0x1000, a block of 0xFF
    # in the middle of the code (never sent) and data at 0x3F00.
    code = bytearray((i * 7 + 3) & 0xFF for i in range(0x600))
    code[0x200:0x280] = b'\xFF' * 0x80
    table = bytes(range(256)) * 2
    tail = b'TARVELIN SAMPLE FIRMWARE' + bytes(40)
    lines = [header('TARVELIN SAMPLE FIRMWARE')]
    for base, data, kind in ((0, code, '1'), (0x1000, table, '2'), (0x3F00, tail, '3')):
        lines += [record(kind, base + i, data[i:i + 32]) for i in range(0, len(data), 32)]
    lines.append('S9030000FC')
    write('firmware.mot', lines)


if __name__ == '__main__':
    main()
