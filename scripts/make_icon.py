#!/usr/bin/env python3
"""Draws the program's icon, a 中 mahjong tile, as a 16-colour .ico (32x32 and 16x16).

Usage: scripts/make_icon.py [resources/Paiview.ico]
"""
import struct
import sys

# The standard 16-colour palette, as (blue, green, red, 0) quads in index order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]  # (r, g, b)
TRANSPARENT = None
BLACK, MAROON, GREEN, GRAY, SILVER, RED, WHITE = 0, 1, 2, 8, 7, 9, 15


def blank(size):
    return [[TRANSPARENT] * size for _ in range(size)]


def fill(img, x0, y0, x1, y1, colour):
    """Fills the rectangle from (x0, y0) to (x1, y1), both corners included."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = colour


def rounded_tile(img, x0, y0, x1, y1, edge, face):
    """A tile outline with its corner pixels cut, filled with face."""
    fill(img, x0, y0, x1, y1, edge)
    fill(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, face)
    for x, y in ((x0, y0), (x1, y0), (x0, y1), (x1, y1)):
        img[y][x] = TRANSPARENT


def tile_32():
    img = blank(32)
    # The green back of the tile shows below and to the right of its face.
    rounded_tile(img, 6, 4, 28, 30, BLACK, GREEN)
    rounded_tile(img, 3, 1, 25, 27, GRAY, WHITE)
    fill(img, 4, 26, 24, 26, SILVER)
    fill(img, 24, 2, 24, 26, SILVER)
    # 中: a box with a stroke through it, in red.
    fill(img, 7, 9, 20, 17, RED)
    fill(img, 9, 11, 18, 15, WHITE)
    fill(img, 13, 4, 14, 23, RED)
    return img


def tile_16():
    img = blank(16)
    rounded_tile(img, 3, 2, 14, 15, BLACK, GREEN)
    rounded_tile(img, 1, 0, 12, 13, GRAY, WHITE)
    fill(img, 2, 12, 11, 12, SILVER)
    fill(img, 11, 1, 11, 12, SILVER)
    fill(img, 3, 4, 10, 8, RED)
    fill(img, 4, 5, 9, 7, WHITE)
    fill(img, 6, 2, 7, 11, RED)
    return img


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def dib(img):
    """The icon image: header, palette, 4-bit colour rows and 1-bit mask, bottom up."""
    size = len(img)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(img):
        line = bytearray(row_bytes(size * 4))
        bits = bytearray(row_bytes(size))
        for x, pixel in enumerate(row):
            index = 0 if pixel is TRANSPARENT else pixel
            line[x // 2] |= index << (0 if x % 2 else 4)
            if pixel is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        colour += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colour) + bytes(mask)


def ico(images):
    data = [dib(img) for img in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, blob in zip(images, data):
        size = len(img)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    return out + b"".join(data)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "resources/Paiview.ico"
    with open(path, "wb") as f:
        f.write(ico([tile_32(), tile_16()]))
    print(path)


if __name__ == "__main__":
    main()
