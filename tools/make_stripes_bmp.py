#!/usr/bin/env python3
"""Writes the progress bar's barber-pole stripe image as a 16-colour BMP file.

    make_stripes_bmp.py OUTPUT.bmp

The image is 438 by 16 pixels. Its top row, from the left, repeats every 40
pixels: 11 blue, 9 white, 11 light grey, 9 white. Each row below is the row
above moved one pixel to the right, so the pixel at (x, y), counted from the top
left, has the colour of the top row's pixel x - y (modulo 40). BMP files store
rows bottom-up: the first row in the file is the image's bottom row (y = 15).
"""

import struct
import sys

WIDTH = 438
HEIGHT = 16
BITS_PER_PIXEL = 4

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLUE = PALETTE.index((0, 0, 255))
WHITE = PALETTE.index((255, 255, 255))
LIGHT_GREY = PALETTE.index((192, 192, 192))

# One period of the top row: (palette index, run length).
STRIPE_RUNS = [(BLUE, 11), (WHITE, 9), (LIGHT_GREY, 11), (WHITE, 9)]
PERIOD = [index for index, length in STRIPE_RUNS for _ in range(length)]

FILE_HEADER_SIZE = 14
INFO_HEADER_SIZE = 40
BI_RGB = 0


def pixel(x, y):
    """Palette index at (x, y), y counted from the top."""
    return PERIOD[(x - y) % len(PERIOD)]


def row_bytes(y):
    """One row packed two pixels a byte, high nibble first, padded to 4 bytes."""
    packed = bytearray()
    for x in range(0, WIDTH, 2):
        high = pixel(x, y)
        low = pixel(x + 1, y) if x + 1 < WIDTH else 0
        packed.append(high << 4 | low)
    packed.extend(b"\0" * (-len(packed) % 4))
    return bytes(packed)


def bmp():
    palette = b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in PALETTE)
    pixels = b"".join(row_bytes(y) for y in reversed(range(HEIGHT)))  # bottom row first
    offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info_header = struct.pack(
        "<IiiHHIIiiII",
        INFO_HEADER_SIZE, WIDTH, HEIGHT,  # positive height: rows bottom-up
        1, BITS_PER_PIXEL, BI_RGB, len(pixels),
        0, 0,  # no stated resolution
        len(PALETTE), len(PALETTE),
    )
    return file_header + info_header + palette + pixels


def main(argv):
    if len(argv) != 2:
        print("usage: make_stripes_bmp.py OUTPUT.bmp", file=sys.stderr)
        return 2
    with open(argv[1], "wb") as f:
        f.write(bmp())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
