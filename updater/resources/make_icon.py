#!/usr/bin/env python3
"""Writes the updater's icon (resource 101): an .ico with a 32 x 32 and a 16 x 16 picture,
4 bits per pixel with the 16 standard colours and a transparency mask. The picture is a
yellow folder with a white sheet and a green arrow pointing into it.
Usage: make_icon.py OUT.ico"""
import struct
import sys

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
CLEAR, INK, DARK_GREEN, SHADE, GREEN, FOLDER, PAPER = None, 0, 2, 3, 10, 11, 15


def picture(size):
    """Rows top-down; None marks a see-through pixel. Drawn on a 32 grid and scaled."""
    s = size / 32.0
    px = [[CLEAR] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y0 * s) + 1, int(y1 * s))):
            for x in range(int(x0 * s), max(int(x0 * s) + 1, int(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    def framed(x0, y0, x1, y1, colour):
        fill(x0, y0, x1, y1, INK)
        fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, colour)

    framed(2, 10, 14, 15, SHADE)          # folder tab and back
    framed(2, 13, 30, 30, SHADE)
    framed(9, 4, 23, 22, PAPER)           # the sheet
    for k in range(3):
        fill(11, 8 + 3 * k, 21, 9 + 3 * k, INK)
    framed(3, 18, 31, 31, FOLDER)         # front flap
    fill(14, 2, 18, 9, GREEN)             # the arrow: shaft and head
    fill(11, 8, 21, 10, GREEN)
    fill(13, 10, 19, 12, GREEN)
    fill(15, 12, 17, 14, DARK_GREEN)
    return px


def image(size):
    px = picture(size)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for row in reversed(px):                          # bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)       # see-through: mask 1, colour 0
                c = 0
            line[x // 2] |= c << (4 if x % 2 == 0 else 0)
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    colours = b''.join(struct.pack('<4B', b, g, r, 0) for (r, g, b) in PALETTE)
    return header + colours + bytes(xor) + bytes(mask)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sizes = (32, 16)
    images = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main()
