#!/usr/bin/env python3
"""Draws the settings dialog's built-in pictures as 24-bit BMP files, so the build makes its
own artwork.

    make-artwork.py OUT_DIR

logo.bmp       170 x 91: the four-vane mark and the name, on magenta (255, 0, 255), the
               colour the dialog leaves out when it draws the logo transparent
customer.bmp   160 x 80: the distributor's place, a dark red panel naming the Photoreels
"""
import os
import struct
import sys

KEY = (255, 0, 255)

# Block letters, 5 x 7.
FONT = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    " ": ["....."] * 7,
}


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def text(px, words, left, top, scale, colour):
    for k, letter in enumerate(words):
        for row, line in enumerate(FONT[letter]):
            for col, mark in enumerate(line):
                if mark != "#":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        x = left + (k * 6 + col) * scale + dx
                        y = top + row * scale + dy
                        if 0 <= x < len(px[0]) and 0 <= y < len(px):
                            px[y][x] = colour


def vanes(px, cx, cy, radius):
    """Four triangles turning about one point, gold and pale in turn."""
    gold, pale = (230, 168, 40), (250, 226, 160)
    for y in range(cy - radius, cy + radius + 1):
        for x in range(cx - radius, cx + radius + 1):
            dx, dy = x - cx, y - cy
            if dx == 0 and dy == 0:
                continue
            # The vane of a point: which quarter it lies in, and beyond the quarter's first edge.
            if dy < 0 and dx >= 0 and dx <= -dy:
                px[y][x] = gold
            elif dx > 0 and dy >= 0 and dy <= dx:
                px[y][x] = pale
            elif dy > 0 and dx <= 0 and -dx <= dy:
                px[y][x] = gold
            elif dx < 0 and dy <= 0 and -dy <= -dx:
                px[y][x] = pale


def write_bmp(path, px):
    height, width = len(px), len(px[0])
    stride = (width * 3 + 3) & ~3
    rows = b""
    for row in reversed(px):  # bottom-up
        line = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        rows += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(rows), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + rows)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    logo = canvas(170, 91, KEY)
    vanes(logo, 85, 30, 26)
    text(logo, "QUORVANES", 4, 66, 3, (112, 0, 16))
    write_bmp(os.path.join(out, "logo.bmp"), logo)

    customer = canvas(160, 80, (112, 0, 16))
    for x in range(160):  # a border of gold
        customer[0][x] = customer[79][x] = (230, 168, 40)
    for y in range(80):
        customer[y][0] = customer[y][159] = (230, 168, 40)
    text(customer, "PHOTOREELS", 21, 22, 2, (255, 255, 255))
    text(customer, "QUORVANES", 26, 46, 2, (250, 226, 160))
    write_bmp(os.path.join(out, "customer.bmp"), customer)


if __name__ == "__main__":
    main()
