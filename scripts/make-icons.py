#!/usr/bin/env python3
"""Draws the tray program's icons and writes them as .ico files (16 colours, 4 bits per
pixel, with a transparency mask), so the build makes its own artwork.

    make-icons.py OUT_DIR

trayicon.ico     16 x 16: a dark-framed grey screen with "QV" in yellow (manager active)
trayiconoff.ico  16 x 16: the same, crossed out by a large red X (manager inactive)
mainicon.ico     16 x 16 and 32 x 32: the program's icon
"""
import os
import struct
import sys

# The 16 colours of the standard palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREY, SILVER, RED, YELLOW = 0, 8, 7, 9, 11
CLEAR = None  # transparent

Q = [".##.",
     "#..#",
     "#..#",
     "#.##",
     ".###"]
V = ["#...#",
     "#...#",
     "#...#",
     ".#.#.",
     "..#.."]


def screen_icon():
    """16 x 16 rows of palette indexes (None: transparent), top row first."""
    px = [[CLEAR] * 16 for _ in range(16)]
    for y in range(1, 12):          # the frame
        for x in range(16):
            px[y][x] = BLACK
    for y in range(2, 11):          # the screen
        for x in range(1, 15):
            px[y][x] = GREY
    for corner in ((0, 1), (15, 1), (0, 11), (15, 11)):
        px[corner[1]][corner[0]] = CLEAR
    for x in range(6, 10):          # the stand
        px[12][x] = BLACK
    for x in range(4, 12):
        px[13][x] = SILVER
    for glyph, left in ((Q, 2), (V, 8)):
        for row, line in enumerate(glyph):
            for col, mark in enumerate(line):
                if mark == "#":
                    px[4 + row][left + col] = YELLOW
    return px


def crossed_out(px):
    out = [row[:] for row in px]
    for y in range(16):
        for x in range(16):
            # both diagonals, two pixels thick
            if x - y in (0, 1) or x + y in (15, 16):
                out[y][x] = RED
    return out


def scaled(px, factor):
    return [[px[y // factor][x // factor] for x in range(len(px[0]) * factor)]
            for y in range(len(px) * factor)]


def image_bytes(px):
    """BITMAPINFOHEADER, palette, 4-bit colour rows and 1-bit mask rows, bottom-up."""
    height, width = len(px), len(px[0])
    colour_row = (width * 4 + 31) // 32 * 4
    mask_row = (width + 31) // 32 * 4
    colours = bytearray()
    mask = bytearray()
    for row in reversed(px):
        line = bytearray(colour_row)
        bits = bytearray(mask_row)
        for x, index in enumerate(row):
            value = 0 if index is None else index
            line[x // 2] |= value << (4 if x % 2 == 0 else 0)
            if index is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        colours += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 4, 0,
                         len(colours) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colours) + bytes(mask)


def write_ico(path, images):
    blobs = [image_bytes(px) for px in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for px, blob in zip(images, blobs):
        size = len(px)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    active = screen_icon()
    write_ico(os.path.join(out_dir, "trayicon.ico"), [active])
    write_ico(os.path.join(out_dir, "trayiconoff.ico"), [crossed_out(active)])
    write_ico(os.path.join(out_dir, "mainicon.ico"), [active, scaled(active, 2)])


if __name__ == "__main__":
    main()
