#!/usr/bin/env python3
"""Draws the application icon: a green circuit board with a downward arrow
(firmware going into the board). Deterministic: the same bytes every run.

usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

# (width, bits per pixel), in the order the icon group lists them.
IMAGES = [(32, 4), (48, 8), (16, 4), (32, 8), (32, 1)]

# Logical colours of the picture.
TRANSPARENT, BOARD, EDGE, TRACE, CHIP, ARROW, ARROW_EDGE = range(7)

RGB = {
    BOARD: (0x1E, 0x8C, 0x3C),
    EDGE: (0x0A, 0x46, 0x1E),
    TRACE: (0xE6, 0xC8, 0x50),
    CHIP: (0x28, 0x28, 0x28),
    ARROW: (0xFF, 0xFF, 0xFF),
    ARROW_EDGE: (0x1E, 0x3C, 0xB4),
}

# The 16-colour palette is the classic Windows one; the 256-colour images
# use these same entries first.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
MONO = [(0, 0, 0), (255, 255, 255)]


def picture(size):
    """The logical colour of every pixel, rows from the top, drawn on a 0..1 grid."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            u = (x + 0.5) / size
            v = (y + 0.5) / size
            colour = TRANSPARENT
            if 0.06 <= u <= 0.94 and 0.30 <= v <= 0.94:
                edge = u < 0.12 or u > 0.88 or v < 0.36 or v > 0.88
                colour = EDGE if edge else BOARD
                if not edge and (abs(v - 0.62) < 0.035 or abs(u - 0.25) < 0.035 or abs(u - 0.75) < 0.035):
                    colour = TRACE
                if 0.36 <= u <= 0.64 and 0.52 <= v <= 0.80:
                    colour = CHIP
            # Arrow: shaft and head pointing down into the chip.
            shaft = abs(u - 0.5) < 0.10 and 0.04 <= v <= 0.42
            head = 0.36 <= v <= 0.62 and abs(u - 0.5) <= (0.62 - v) * 1.1
            if shaft or head:
                inner_shaft = abs(u - 0.5) < 0.05 and 0.08 <= v <= 0.42
                inner_head = 0.40 <= v <= 0.58 and abs(u - 0.5) <= (0.58 - v) * 1.1
                colour = ARROW if (inner_shaft or inner_head) else ARROW_EDGE
            row.append(colour)
        rows.append(row)
    return rows


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], rgb)))


def palette_for(bits):
    if bits == 1:
        return MONO
    if bits == 4:
        return VGA16
    return VGA16 + [RGB[c] for c in sorted(RGB)] + [(0, 0, 0)] * (256 - 16 - len(RGB))


def index_of(bits, palette, colour):
    if colour == TRANSPARENT:
        return 0
    if bits == 1:
        return 1 if colour in (ARROW, TRACE) else 0
    if bits == 8:
        return 16 + sorted(RGB).index(colour)
    return nearest(palette, RGB[colour])


def pack_row(values, bits):
    data = bytearray()
    accumulator = 0
    filled = 0
    for value in values:
        accumulator = (accumulator << bits) | value
        filled += bits
        if filled == 8:
            data.append(accumulator)
            accumulator = 0
            filled = 0
    if filled:
        data.append(accumulator << (8 - filled))
    while len(data) % 4:
        data.append(0)
    return bytes(data)


def image(size, bits):
    palette = palette_for(bits)
    rows = picture(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, len(palette), 0)
    colours = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette)
    xor = b''.join(pack_row([index_of(bits, palette, c) for c in row], bits) for row in reversed(rows))
    mask = b''.join(pack_row([1 if c == TRANSPARENT else 0 for c in row], 1) for row in reversed(rows))
    return header + colours + xor + mask


def main():
    blobs = [image(size, bits) for size, bits in IMAGES]
    directory = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    entries = b''
    for (size, bits), blob in zip(IMAGES, blobs):
        colour_count = 0 if bits >= 8 else 1 << bits
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, colour_count, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    with open(sys.argv[1], 'wb') as output:
        output.write(directory + entries + b''.join(blobs))


if __name__ == '__main__':
    main()
