#!/usr/bin/env python3
"""Writes typelib/toolbox.bmp, the 16 x 15 picture form designers show for
ucCardel in their toolbox: a small speech bubble with its tail at the bottom
left.

The picture is kept as a character grid so it can be reviewed and changed in a
diff; the BMP is rebuilt from it byte for byte identically every time.
Usage: make_toolbox_bitmap.py [OUTPUT]  (default: typelib/toolbox.bmp)
"""

import struct
import sys
from pathlib import Path

# Designers take the colour of the bottom-left pixel as transparent, so that
# pixel must stay background and the background must be a colour the bubble
# itself never uses.
PALETTE = {
    ".": (0xFF, 0x00, 0xFF),  # background, shown transparent
    "#": (0x40, 0x40, 0x40),  # outline
    "o": (0xDD, 0xEE, 0xFF),  # bubble fill
    "-": (0x80, 0x80, 0x80),  # hint of caption text
}

GRID = [
    "................",
    "...##########...",
    "..#oooooooooo#..",
    ".#oooooooooooo#.",
    ".#oo--------oo#.",
    ".#oooooooooooo#.",
    ".#oo-----ooooo#.",
    ".#oooooooooooo#.",
    "..#oooooooooo#..",
    "...#oo#######...",
    "...#o#..........",
    "..#o#...........",
    "..##............",
    "................",
    "................",
]

WIDTH = 16
HEIGHT = 15


def bmp_bytes(grid):
    if len(grid) != HEIGHT or any(len(row) != WIDTH for row in grid):
        raise ValueError("the grid must be %d x %d" % (WIDTH, HEIGHT))
    if grid[-1][0] != ".":
        raise ValueError("the bottom-left pixel must be background")

    stride = (WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    # BMP rows run bottom-up, each pixel blue, green, red.
    for row in reversed(grid):
        line = bytearray()
        for cell in row:
            r, g, b = PALETTE[cell]
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line

    info = struct.pack(
        "<IiiHHIIiiII",
        40,            # header size
        WIDTH,
        HEIGHT,        # positive: bottom-up rows
        1,             # planes
        24,            # bits per pixel
        0,             # BI_RGB
        len(pixels),
        0, 0,          # no preferred resolution
        0, 0,          # no colour table
    )
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + bytes(pixels)


def main():
    root = Path(__file__).resolve().parent.parent
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else root / "typelib" / "toolbox.bmp"
    out.write_bytes(bmp_bytes(GRID))


if __name__ == "__main__":
    main()
