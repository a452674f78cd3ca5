#!/usr/bin/env python3
"""Draws the program's 32 x 32, 16-colour icon and writes it as a 4-bit palette PNG (vandrel.png).

Run by hand after changing the drawing; the PNG it writes is kept in the repository, so building
needs neither Python nor this script. Only the standard library is used.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

SIZE = 32

# Index 0 is transparent; the other fifteen are opaque.
PALETTE = [
    (0, 0, 0),        # 0 transparent
    (0, 0, 0),        # 1 black
    (64, 64, 64),     # 2 dark grey
    (128, 128, 128),  # 3 grey
    (192, 192, 192),  # 4 light grey
    (255, 255, 255),  # 5 white
    (0, 0, 128),      # 6 navy
    (0, 96, 200),     # 7 blue
    (96, 176, 240),   # 8 sky
    (0, 255, 255),    # 9 aqua
    (255, 220, 0),    # 10 yellow
    (255, 128, 0),    # 11 orange
    (0, 110, 40),     # 12 dark green
    (60, 180, 60),    # 13 green
    (220, 30, 30),    # 14 red
    (200, 0, 200),    # 15 magenta
]
TRANSPARENT, BLACK, DARK_GREY, GREY, LIGHT_GREY, WHITE = 0, 1, 2, 3, 4, 5
NAVY, BLUE, SKY, AQUA, YELLOW, ORANGE, DARK_GREEN, GREEN, RED, MAGENTA = range(6, 16)


def draw():
    px = [[TRANSPARENT] * SIZE for _ in range(SIZE)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = colour

    # The picture: a framed landscape, sky in two bands, a sun and two hills.
    rect(1, 2, 25, 25, DARK_GREY)
    rect(2, 3, 24, 24, LIGHT_GREY)
    rect(3, 4, 23, 9, BLUE)
    rect(3, 10, 23, 23, SKY)
    for y in range(4, 24):
        for x in range(3, 24):
            if (x - 17) ** 2 + (y - 9) ** 2 <= 10:
                px[y][x] = YELLOW
            back_hill = 17 + round(2.5 * math.cos((x - 6) / 4.0))
            front_hill = 20 + round(1.5 * math.sin((x + 2) / 3.0))
            if y >= front_hill:
                px[y][x] = GREEN
            elif y >= back_hill:
                px[y][x] = DARK_GREEN

    # The display data: a block of 3 x 3 coarse pixels in front of the picture's lower right corner.
    rect(17, 17, 30, 30, BLACK)
    cells = [[RED, GREEN, BLUE], [YELLOW, AQUA, MAGENTA], [WHITE, ORANGE, NAVY]]
    for row, colours in enumerate(cells):
        for col, colour in enumerate(colours):
            x0, y0 = 18 + col * 4, 18 + row * 4
            rect(x0, y0, x0 + 2, y0 + 2, colour)
    return px


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes(px):
    raw = bytearray()
    for row in px:
        raw.append(0)  # filter type: none
        for x in range(0, SIZE, 2):
            raw.append((row[x] << 4) | row[x + 1])
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 4, 3, 0, 0, 0)  # 4-bit palette image
    palette = b"".join(bytes(c) for c in PALETTE)
    alpha = bytes([0])  # only index 0 is see-through
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette)
            + chunk(b"tRNS", alpha) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("vandrel.png")
    out.write_bytes(png_bytes(draw()))
