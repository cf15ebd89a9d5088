#!/usr/bin/env python3
"""Writes the copy animation "FILECOPY_AVI": a RIFF AVI with one video stream of 260 x 40
pixels, 8-bit run-length encoded (BI_RLE8) with 16 colours, 17 frames at 10 frames per second
and no sound. A sheet of paper leaves the open folder on the left, flies over in an arc and
drops into the folder on the right. Every frame is complete in itself (no delta codes).
Usage: make_clip.py OUT.avi"""
import struct
import sys

WIDTH, HEIGHT, FRAMES, FPS = 260, 40, 17, 10
# The 16 colours of the clip (red, green, blue).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
KEY, INK, SHADE, GREY, LINE, FOLDER, PAPER = 13, 0, 3, 8, 4, 11, 15  # KEY: top-left, see-through

LEFT_FOLDER, RIGHT_FOLDER = 14, 198   # left edges of the two folders (48 wide)


def fill(px, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(HEIGHT, y1)):
        row = px[y]
        for x in range(max(0, x0), min(WIDTH, x1)):
            row[x] = colour


def framed(px, x0, y0, x1, y1, colour):
    fill(px, x0, y0, x1, y1, INK)
    fill(px, x0 + 1, y0 + 1, x1 - 1, y1 - 1, colour)


def folder_back(px, x):
    framed(px, x + 2, 8, x + 20, 14, SHADE)     # tab
    framed(px, x, 12, x + 48, 38, SHADE)        # back wall


def folder_front(px, x):
    framed(px, x + 3, 20, x + 51, 38, FOLDER)   # front flap, a little offset
    fill(px, x + 4, 21, x + 50, 22, PAPER)      # highlight along its top edge


def sheet(px, x, y):
    framed(px, x, y, x + 16, y + 20, PAPER)
    fill(px, x + 11, y + 1, x + 15, y + 5, GREY)      # folded corner
    for k in range(4):
        fill(px, x + 3, y + 6 + 3 * k, x + 13 - 2 * (k % 2), y + 7 + 3 * k, LINE)


def picture(i):
    px = [[KEY] * WIDTH for _ in range(HEIGHT)]
    t = i / (FRAMES - 1)
    x = int(LEFT_FOLDER + 16 + t * (RIGHT_FOLDER - LEFT_FOLDER))
    y = int(14 - 60 * t * (1 - t))           # rises from the folder and falls into the other
    folder_back(px, LEFT_FOLDER)
    folder_back(px, RIGHT_FOLDER)
    sheet(px, x, y)
    folder_front(px, LEFT_FOLDER)             # the sheet sits inside while it is low
    folder_front(px, RIGHT_FOLDER)
    return px


def rle8(px):
    """Encoded runs only, rows bottom-up; 00 00 ends a row, 00 01 the picture."""
    out = bytearray()
    for y in reversed(range(HEIGHT)):
        row, x = px[y], 0
        while x < WIDTH:
            n = 1
            while x + n < WIDTH and n < 255 and row[x + n] == row[x]:
                n += 1
            out += bytes((n, row[x]))
            x += n
        out += b'\x00\x01' if y == 0 else b'\x00\x00'
    return bytes(out)


def chunk(fourcc, data):
    return fourcc + struct.pack('<I', len(data)) + data + (b'\x00' if len(data) % 2 else b'')


def riff_list(kind, data):
    return b'LIST' + struct.pack('<I', 4 + len(data)) + kind + data


def clip():
    frames = [rle8(picture(i)) for i in range(FRAMES)]
    largest = max(len(f) for f in frames)
    # MainAVIHeader: frame time, rate, padding, flags (AVIF_HASINDEX), frames, initial frames,
    # streams, buffer size, width, height, reserved.
    avih = struct.pack('<14I', 1000000 // FPS, largest * FPS, 0, 0x10, FRAMES, 0, 1, largest,
                       WIDTH, HEIGHT, 0, 0, 0, 0)
    # AVIStreamHeader: 'vids', handler 'RLE ', flags, priority, language, initial frames,
    # scale 1 / rate 10, start, length, buffer size, quality -1, sample size, frame rectangle.
    strh = struct.pack('<4s4sIHHIIIIIIII4h', b'vids', b'RLE ', 0, 0, 0, 0, 1, FPS, 0, FRAMES,
                       largest, 0xFFFFFFFF, 0, 0, 0, WIDTH, HEIGHT)
    # BITMAPINFOHEADER, bottom-up, 8 bits, BI_RLE8 (1), 16 colours used and important.
    bih = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 8, 1, largest, 0, 0,
                      len(PALETTE), len(PALETTE))
    colours = b''.join(struct.pack('<4B', b, g, r, 0) for (r, g, b) in PALETTE)
    hdrl = riff_list(b'hdrl', chunk(b'avih', avih) +
                     riff_list(b'strl', chunk(b'strh', strh) + chunk(b'strf', bih + colours)))
    movi, index, offset = b'', b'', 4        # index offsets count from the 'movi' type
    for f in frames:
        piece = chunk(b'00dc', f)
        index += struct.pack('<4sIII', b'00dc', 0x10, offset, len(f))   # AVIIF_KEYFRAME
        movi += piece
        offset += len(piece)
    body = b'AVI ' + hdrl + riff_list(b'movi', movi) + chunk(b'idx1', index)
    return b'RIFF' + struct.pack('<I', len(body)) + body


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], 'wb') as out:
        out.write(clip())


if __name__ == '__main__':
    main()
